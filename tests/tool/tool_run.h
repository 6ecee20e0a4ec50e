// Runs zortool in-process and keeps what it wrote.
#pragma once

#include <string>
#include <vector>

#include "tool/tool.h"

namespace zor::tool::testing {

class Capture final : public Output {
 public:
  void Write(std::wstring_view text) override { text_ += text; }
  std::wstring text_;
};

struct ToolRun {
  int rc;
  std::wstring out;
  std::wstring err;
};

inline ToolRun Tool(std::vector<std::wstring> args) {
  Capture out;
  Capture err;
  const int rc = RunTool(args, out, err);
  return {rc, out.text_, err.text_};
}

}  // namespace zor::tool::testing

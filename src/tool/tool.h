// zortool: the command-line companion, independent of the platform. The
// platform's main turns its arguments into text and supplies the two streams.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zor::tool {

enum ExitCode : int { kDone = 0, kRefused = 1, kUsage = 2 };

class Output {
 public:
  virtual ~Output() = default;
  virtual void Write(std::wstring_view text) = 0;
};

// Runs one command; args exclude the program name.
[[nodiscard]] int RunTool(const std::vector<std::wstring>& args, Output& out, Output& err);

}  // namespace zor::tool

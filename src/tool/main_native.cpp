// zortool on Linux: arguments and output in UTF-8.
#include <cstdio>

#include "core/text/unicode.h"
#include "tool/tool.h"

namespace {

class FileOutput final : public zor::tool::Output {
 public:
  explicit FileOutput(std::FILE* f) : f_(f) {}
  void Write(std::wstring_view text) override {
    const std::string bytes = zor::ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), f_);
  }

 private:
  std::FILE* f_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(zor::FromUtf8(argv[i]));
  FileOutput out(stdout);
  FileOutput err(stderr);
  const int rc = zor::tool::RunTool(args, out, err);
  if (std::fflush(stdout) != 0) return zor::tool::kRefused;
  return rc;
}

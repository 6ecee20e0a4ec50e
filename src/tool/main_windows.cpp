// zortool on Windows: wide arguments; a console gets the text through
// WriteConsoleW, a pipe or file gets UTF-8.
#include <windows.h>

#include <string>
#include <vector>

#include "core/text/unicode.h"
#include "tool/tool.h"

namespace {

class HandleOutput final : public zor::tool::Output {
 public:
  explicit HandleOutput(DWORD which) : handle_(GetStdHandle(which)) {
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode) != 0;
  }

  void Write(std::wstring_view text) override {
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE || text.empty()) return;
    DWORD written = 0;
    if (console_) {
      WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      return;
    }
    const std::string bytes = zor::ToUtf8(text);
    WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }

 private:
  HANDLE handle_;
  bool console_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  HandleOutput out(STD_OUTPUT_HANDLE);
  HandleOutput err(STD_ERROR_HANDLE);
  return zor::tool::RunTool(args, out, err);
}

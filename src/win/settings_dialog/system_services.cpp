// The system's side of the dialog services.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/html_help.h"
#include "win/screen/test_display.h"

namespace zor::win {

namespace {

class SystemDialogServices final : public DialogServices {
 public:
  INT_PTR RunDialog(Dialog& dialog, HWND owner) override { return dialog.Run(owner); }

  int Message(HWND owner, std::wstring_view text, UINT flags, std::wstring_view title) override {
    const std::wstring t(text);
    const std::wstring c(title);
    return MessageBoxW(owner, t.c_str(), c.empty() ? nullptr : c.c_str(), flags);
  }

  FileDialogAnswer AskFile(HWND owner, const FileDialogRequest& request) override {
    // Long paths beyond MAX_PATH are accepted where the system allows them.
    std::vector<wchar_t> buffer(32768, L'\0');
    request.initialName.copy(buffer.data(), std::min(request.initialName.size(), buffer.size() - 1));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = request.filter.c_str();
    ofn.nFilterIndex = request.fileType;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = request.title.c_str();
    ofn.Flags = request.flags | OFN_EXPLORER;
    ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    FileDialogAnswer answer;
    answer.chosen = (request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)) != FALSE;
    if (!answer.chosen) {
      answer.error = CommDlgExtendedError();
      answer.path = request.initialName;
      return answer;
    }
    answer.path = buffer.data();  // up to the first NUL
    answer.fileType = ofn.nFilterIndex;
    return answer;
  }

  void Help(HWND owner, HelpCommand command, const std::filesystem::path& helpFile, std::wstring_view page) override {
    if (command == HelpCommand::kQuit) {
      CloseHelpWindows();
      return;
    }
    const std::wstring file = helpFile.wstring();
    const HelpResult result =
        command == HelpCommand::kTopic ? ShowHelpTopic(owner, file, page) : ShowHelpContents(owner, file);
    if (result != HelpResult::kShown) Warn(owner, HelpProblemText(result, file));
  }

  void TestDisplay(HWND owner, const TestDisplayRequest& request) override { ShowTestDisplay(owner, request); }
};

}  // namespace

DialogServices& SystemServices() {
  static SystemDialogServices services;
  return services;
}

}  // namespace zor::win

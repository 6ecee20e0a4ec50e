// Dialog services for tests: child dialogs are opened modeless and driven by
// the test, message boxes and file dialogs are recorded and answered.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/screen/sequencer.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"

namespace zor::win::testing {

class FakeServices final : public DialogServices {
 public:
  // Drives a child dialog opened modeless; a dialog it leaves open is closed
  // as by its close box.
  std::function<void(Dialog&)> onDialog;
  std::function<FileDialogAnswer(const FileDialogRequest&)> onFile;
  std::vector<std::wstring> messages;
  std::vector<FileDialogRequest> fileRequests;
  std::vector<TestDisplayRequest> testDisplays;
  std::vector<HelpCommand> help;
  std::vector<std::filesystem::path> helpFiles;
  std::vector<std::wstring> helpPages;

  INT_PTR RunDialog(Dialog& dialog, HWND owner) override {
    if (!dialog.Open(owner)) return -1;
    if (onDialog) onDialog(dialog);
    if (!dialog.Ended()) SendMessageW(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
    return dialog.EndCode();
  }
  int Message(HWND, std::wstring_view text, UINT, std::wstring_view) override {
    messages.emplace_back(text);
    return IDOK;
  }
  FileDialogAnswer AskFile(HWND, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (onFile) return onFile(request);
    return FileDialogAnswer{false, request.initialName, 0};
  }
  void Help(HWND, HelpCommand command, const std::filesystem::path& helpFile, std::wstring_view page) override {
    help.push_back(command);
    helpFiles.push_back(helpFile);
    helpPages.emplace_back(page);
  }
  void TestDisplay(HWND, const TestDisplayRequest& request) override { testDisplays.push_back(request); }
};

// Control messages as a user's clicks and typing arrive.
inline void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void ClickStatic(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
inline void Type(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
inline std::wstring Text(HWND dialog, int id) {
  wchar_t buffer[512] = {};
  GetDlgItemTextW(dialog, id, buffer, 512);
  return buffer;
}
// LB_SETCURSEL sends no LBN_SELCHANGE: the notification is sent as the list would.
inline void SelectRow(HWND dialog, int listId, int row) {
  HWND list = GetDlgItem(dialog, listId);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// Every way a dialog can go: OK, Esc, the close box, destroyed with its owner.
struct ClosingWay {
  const char* how;
  void (*close)(HWND);
};
inline const ClosingWay kEveryWayOfClosing[] = {
    {"OK", [](HWND d) { Click(d, IDOK); }},
    {"Esc", [](HWND d) { SendMessageW(d, WM_COMMAND, IDCANCEL, 0); }},
    {"close box", [](HWND d) { SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"destroyed with its owner", [](HWND d) { DestroyWindow(d); }},
};

}  // namespace zor::win::testing

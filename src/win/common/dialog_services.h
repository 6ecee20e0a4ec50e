// The blocking calls of the settings dialogs behind one interface: a child
// dialog, a file dialog, a message box, the help viewer, the full-screen test
// display. The program uses the system's; tests replace them so no test ever
// waits on a modal window.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zor {
struct TestDisplayRequest;
}

namespace zor::win {

class Dialog;

// A file dialog as the settings dialog asks for one.
struct FileDialogRequest {
  bool save = false;          // GetSaveFileNameW, else GetOpenFileNameW
  std::wstring title;
  std::wstring filter;        // pairs separated by NUL characters, ending in two
  std::wstring initialName;   // full path or name
  DWORD flags = 0;            // OFN_*
  std::wstring defaultExtension;
  DWORD fileType = 1;         // the filter pair chosen at first, from 1
};

struct FileDialogAnswer {
  bool chosen = false;        // the user chose a file
  std::wstring path;          // the chosen path, or the initial name when cancelled
  DWORD error = 0;            // CommDlgExtendedError when the dialog failed
  DWORD fileType = 1;         // the filter pair chosen, from 1
};

enum class HelpCommand { kContents, kTopic, kQuit };

class DialogServices {
 public:
  virtual ~DialogServices() = default;
  // Shows a child dialog modally; returns its end code.
  virtual INT_PTR RunDialog(Dialog& dialog, HWND owner) = 0;
  // A message box titled "ZORANTE" (or the given title); returns the button pressed.
  virtual int Message(HWND owner, std::wstring_view text, UINT flags, std::wstring_view title) = 0;
  [[nodiscard]] virtual FileDialogAnswer AskFile(HWND owner, const FileDialogRequest& request) = 0;
  // The contents of the compiled help file helpFile, its page (kTopic), or
  // (kQuit) every help window closed. A problem is told as a warning.
  virtual void Help(HWND owner, HelpCommand command, const std::filesystem::path& helpFile, std::wstring_view page) = 0;
  virtual void TestDisplay(HWND owner, const TestDisplayRequest& request) = 0;

  void Warn(HWND owner, std::wstring_view text);
};

// The system's dialogs, message boxes, help and test display.
[[nodiscard]] DialogServices& SystemServices();

}  // namespace zor::win

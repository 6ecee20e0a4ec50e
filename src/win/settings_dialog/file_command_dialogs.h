// The system's side of the file commands' host: each question as its file
// dialog (title, filter, flags), each notice as its message box, the wait
// cursor while the files are worked on.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/settings_dialog/registration_file_commands.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"

namespace zor::win {

// The file dialog a question opens, on initialName.
[[nodiscard]] FileDialogRequest FileDialogFor(FileQuestion question, const std::wstring& initialName);

class FileCommandDialogs final : public FileCommandHost {
 public:
  // showEditor: the dialog shows the editor's state now.
  FileCommandDialogs(DialogServices& services, std::function<void()> showEditor)
      : services_(services), showEditor_(std::move(showEditor)) {}

  // The window the dialogs and message boxes belong to.
  void SetOwner(HWND owner) noexcept { owner_ = owner; }

  [[nodiscard]] FileAnswer AskFile(FileQuestion question, const std::wstring& initialName) override;
  void Tell(Notice notice, std::wstring_view text) override;
  void Busy(bool busy) override;
  void ShowEditor() override { showEditor_(); }

 private:
  DialogServices& services_;
  std::function<void()> showEditor_;
  HWND owner_ = nullptr;
  std::optional<WaitCursor> wait_;
};

}  // namespace zor::win

// The version box: the product title with its version, a credit line, the
// program's icon and the author's e-mail address, which starts a new mail
// when clicked.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/handles.h"
#include "win/common/picture_choices.h"
#include "win/common/tooltips.h"

namespace zor::win {

// Opens a "mailto:" link; tests replace the shell.
using MailOpener = std::function<void(HWND owner, const std::wstring& url)>;

// The shell's "open" of the link, as the system opens a clicked link.
void OpenMailWithShell(HWND owner, const std::wstring& url);

// The author's address, a build setting (ZOR_MAIL_ADDRESS).
[[nodiscard]] std::wstring_view MailAddress() noexcept;
// "ZORANTE ScreenSaver 32  v" and the program's version.
[[nodiscard]] std::wstring VersionTitle();

class VersionBox final : public Dialog {
 public:
  explicit VersionBox(MailOpener openMail = OpenMailWithShell);

  [[nodiscard]] HWND TooltipWindow() const noexcept { return tooltips_.hwnd(); }

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnClose() override;

 private:
  void MakeLink();
  void DrawIcon(const DRAWITEMSTRUCT& item);

  static void DestroyIconNow(HICON icon) noexcept { DestroyIcon(icon); }
  using UniqueIcon = UniqueHandle<HICON, DestroyIconNow>;

  MailOpener openMail_;
  Tooltips tooltips_;
  PictureChoices link_;
  UniqueFont linkFont_;
  UniqueIcon icon_;
  int iconSize_ = 0;
};

// The version box over owner until its OK.
void ShowVersionBox(DialogServices& services, HWND owner);

}  // namespace zor::win

#include "win/options/version_box.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "core/version.h"
#include "win/options/version_box_ids.h"

// Set by the build (the CMake cache variable of the same name), in this file only.
#ifndef ZOR_MAIL_ADDRESS
#error "ZOR_MAIL_ADDRESS is not defined"
#endif

namespace zor::win {

namespace {

constexpr std::wstring_view kMailTip = L"クリックすると作者宛Eメールを作成開始します";
constexpr int kProgramIcon = 1;

// The system's colour of links, or plain blue where it would hardly show:
// Wine's light theme sets it to a grey close to the dialog's face.
COLORREF LinkColour() {
  const COLORREF link = GetSysColor(COLOR_HOTLIGHT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const auto luma = [](COLORREF c) { return GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c); };
  const int contrast = luma(link) - luma(face);
  return contrast * contrast < 400 * 400 ? RGB(0, 0, 255) : link;
}

}  // namespace

void OpenMailWithShell(HWND owner, const std::wstring& url) {
  // The result is not reported: the link is a convenience, and the shell
  // speaks for itself where it can open nothing.
  ShellExecuteW(owner, L"open", url.c_str(), nullptr, L"c:\\", SW_SHOWNORMAL);
}

std::wstring_view MailAddress() noexcept { return L"" ZOR_MAIL_ADDRESS; }

std::wstring VersionTitle() { return L"ZORANTE ScreenSaver 32  v" + std::wstring(kVersion); }

VersionBox::VersionBox(MailOpener openMail) : Dialog(IDD_VERSION_BOX), openMail_(std::move(openMail)) {}

bool VersionBox::OnInit() {
  SetItemText(IDC_VERSION_TEXT, VersionTitle());
  SetItemText(IDC_MAIL_LINK, L"E-mail: " + std::wstring(MailAddress()));
  MakeLink();
  tooltips_.Add(hwnd(), Item(IDC_MAIL_LINK), kMailTip);
  PictureGroup link;
  link.controls.push_back(Item(IDC_MAIL_LINK));
  link.role = ChoiceRole::kLink;
  link.focusInset = 0;
  link_.Add(std::move(link));
  CentreOnScreen();
  // OK, not the link before it in the tab order, takes Enter at first.
  SetFocus(Item(IDOK));
  return false;
}

void VersionBox::MakeLink() {
  HWND label = Item(IDC_MAIL_LINK);
  LOGFONTW lf{};
  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  if (dialogFont && GetObjectW(dialogFont, sizeof lf, &lf)) {
    lf.lfUnderline = TRUE;
    linkFont_.reset(CreateFontIndirectW(&lf));
    if (linkFont_) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
  }
  // Only the text takes the click, the tooltip and the hand pointer.
  const std::wstring text = ItemText(IDC_MAIL_LINK);
  WindowDc dc(label);
  SIZE size{};
  RECT r{};
  if (!dc.get() || !GetWindowRect(label, &r)) return;
  SelectionRestorer font(dc.get(), linkFont_ ? linkFont_.get() : dialogFont);
  if (!GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size)) return;
  const int width = std::min<int>(size.cx + 2, r.right - r.left);
  SetWindowPos(label, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void VersionBox::DrawIcon(const DRAWITEMSTRUCT& item) {
  const RECT& r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  // Loaded at the control's size, so the icon is drawn from its own image
  // for the DPI in use; a program without the icon shows the system's.
  const int size = std::min(r.right - r.left, r.bottom - r.top);
  if (!icon_ || iconSize_ != size) {
    icon_.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, size, size, 0)));
    if (!icon_) {
      icon_.reset(static_cast<HICON>(CopyImage(LoadIconW(nullptr, IDI_APPLICATION), IMAGE_ICON, size, size, 0)));
    }
    iconSize_ = size;
  }
  if (icon_) {
    DrawIconEx(item.hDC, r.left + (r.right - r.left - size) / 2, r.top + (r.bottom - r.top - size) / 2, icon_.get(),
               size, size, 0, nullptr, DI_NORMAL);
  }
}

bool VersionBox::OnCommand(int id, int code, HWND control) {
  if (id == IDC_MAIL_LINK) {
    if (code == STN_CLICKED) openMail_(hwnd(), L"mailto:" + std::wstring(MailAddress()));
    return true;
  }
  if (id == IDOK) {
    End(IDOK);
    return true;
  }
  return Dialog::OnCommand(id, code, control);
}

bool VersionBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) != Item(IDC_MAIL_LINK)) return false;
      SetTextColor(reinterpret_cast<HDC>(wp), LinkColour());
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      *result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      return true;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) != Item(IDC_MAIL_LINK)) return false;
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
      *result = TRUE;
      return true;
    case WM_DRAWITEM:
      if (wp != IDC_PROGRAM_ICON) return false;
      DrawIcon(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

void VersionBox::OnClose() { tooltips_.Destroy(); }

void ShowVersionBox(DialogServices& services, HWND owner) {
  VersionBox about;
  services.RunDialog(about, owner);
}

}  // namespace zor::win

#include "win/common/tooltips.h"

#include <commctrl.h>

#include <string>

namespace zor::win {

void Tooltips::Add(HWND dialog, HWND control, std::wstring_view text) {
  if (!control) return;
  if (!window_) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
    window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!window_) return;
  }
  std::wstring copy(text);  // the tooltip copies the text at TTM_ADDTOOLW
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = dialog;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = copy.data();
  SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltips::Destroy() noexcept {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
}

}  // namespace zor::win

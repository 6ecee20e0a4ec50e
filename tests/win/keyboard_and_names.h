// Driving a dialog with the keyboard alone, as its message loop would, and
// reading what a screen reader hears of its controls and what their tips say.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace zor::win::testing {

// A key pressed and let go on the focused control, through the dialog
// manager first as in a modal loop; Shift is held when asked.
inline void Press(HWND dialog, UINT key, bool shift = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE before = keys[VK_SHIFT];
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
    MSG m{};
    m.hwnd = GetFocus();
    m.message = message;
    m.wParam = key;
    m.lParam = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001) : 1;
    if (!m.hwnd || !IsDialogMessageW(dialog, &m)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    MSG posted;
    while (PeekMessageW(&posted, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageW(dialog, &posted)) {
        TranslateMessage(&posted);
        DispatchMessageW(&posted);
      }
    }
  }
  keys[VK_SHIFT] = before;
  SetKeyboardState(keys);
}

// The text in UTF-8, for the test's output.
inline std::string Utf8(const std::wstring& text) {
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

inline int FocusedId() { return GetDlgCtrlID(GetFocus()); }

// What the accessible object of a control reports.
struct Heard {
  HWND control = nullptr;
  int id = 0;
  std::wstring name;
  std::wstring description;
  long role = 0;
  long state = 0;
};

inline Heard HearOf(HWND control) {
  Heard heard;
  heard.control = control;
  heard.id = GetDlgCtrlID(control);
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) ||
      !object) {
    return heard;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (object->get_accName(self, &name) == S_OK && name) heard.name.assign(name, SysStringLen(name));
  SysFreeString(name);
  BSTR description = nullptr;
  if (object->get_accDescription(self, &description) == S_OK && description) {
    heard.description.assign(description, SysStringLen(description));
  }
  SysFreeString(description);
  VARIANT value{};
  if (SUCCEEDED(object->get_accRole(self, &value)) && value.vt == VT_I4) heard.role = value.lVal;
  VariantClear(&value);
  if (SUCCEEDED(object->get_accState(self, &value)) && value.vt == VT_I4) heard.state = value.lVal;
  VariantClear(&value);
  object->Release();
  return heard;
}

// Every control of the dialog the keyboard can reach: shown, enabled, and a
// tab stop, a button (not a group box) or a control that takes the arrows.
inline std::vector<Heard> HearFocusable(HWND dialog) {
  std::vector<Heard> all;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
    const LRESULT code = SendMessageW(c, WM_GETDLGCODE, 0, 0);
    if ((style & WS_TABSTOP) || (code & (DLGC_BUTTON | DLGC_WANTARROWS))) all.push_back(HearOf(c));
  }
  return all;
}

// The tip the tooltip window shows for a control of dialog.
inline std::wstring TipOf(HWND tooltip, HWND dialog, HWND control) {
  wchar_t buffer[200] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = dialog;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = buffer;
  SendMessageW(tooltip, TTM_GETTEXTW, 200, reinterpret_cast<LPARAM>(&ti));
  return buffer;
}

}  // namespace zor::win::testing

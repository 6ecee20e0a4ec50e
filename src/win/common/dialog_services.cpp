#include "win/common/dialog_services.h"

namespace zor::win {

void DialogServices::Warn(HWND owner, std::wstring_view text) {
  Message(owner, text, MB_OK | MB_ICONWARNING, L"ZORANTE");
}

}  // namespace zor::win

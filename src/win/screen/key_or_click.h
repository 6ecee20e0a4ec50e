// The input that ends a full-screen show: a key, a character or a click.
#pragma once

#include <windows.h>

namespace zor::win {

[[nodiscard]] constexpr bool IsKeyOrClick(UINT msg) noexcept {
  return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_CHAR || msg == WM_LBUTTONDOWN ||
         msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
}

}  // namespace zor::win

#include "win/startup/app_state.h"
#include "win/screen/screen_form.h"

namespace zor::win {

AppState& App() {
  static AppState state;
  return state;
}

void SetScreenSaverActive(bool active) { SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? 1 : 0, nullptr, 0); }

void EndSaver() {
  if (App().runMode == RunMode::kSaver) {
    ShowCursor(TRUE);
    SetScreenSaverActive(true);
    ExitProcess(0);
  }
  ScreenForm::Unload();
}

}  // namespace zor::win

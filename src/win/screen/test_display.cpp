#include "win/screen/test_display.h"

#include <memory>

#include "core/data/file_system.h"
#include "win/screen/display.h"
#include "win/screen/screen_form.h"

namespace zor::win {

void ShowTestDisplay(HWND owner, const TestDisplayRequest& request) {
  ShowTestDisplay(owner, request, ProgramFolder());
}

void ShowTestDisplay(HWND owner, const TestDisplayRequest& request, const std::filesystem::path& programFolder) {
  ScreenFormOptions options;
  options.mode = ScreenMode::kTestDisplay;
  options.endAction = EndAction::kUnload;
  options.owner = owner;
  options.test = request;
  if (owner) EnableWindow(owner, FALSE);
  std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, MakeDisplayController(programFolder));
  if (form) {
    MSG msg;
    while (!form->Closing() && form->hwnd()) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        // The quit is meant for the caller's loop.
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    form->Unload();
  }
  // Enabled before the form goes, so that the activation passes back to it.
  if (owner) EnableWindow(owner, TRUE);
  form.reset();
  if (owner) SetForegroundWindow(owner);
}

}  // namespace zor::win

// The program's entry: single instance, diagnostics, and the three run modes
// the screen-saver host asks for with its switch.
#include <windows.h>

#include <memory>
#include <string>

#include "core/data/file_system.h"
#include "core/data/settings.h"
#include "core/text/command_line.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "win/common/system.h"
#include "win/screen/display.h"
#include "win/screen/screen_form.h"
#include "win/settings_dialog/settings_caption.h"
#include "win/settings_dialog/settings_dialog.h"
#include "win/startup/app_state.h"
#include "win/startup/crash_guard.h"
#include "win/startup/single_instance.h"

namespace zor::win {

namespace {

constexpr wchar_t kMutexName[] = L"ZRS Mutex";
constexpr DWORD kInstanceWaitMs = 2000;
constexpr wchar_t kSettingsCaption[] = L"" ZOR_SETTINGS_CAPTION;

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

std::wstring DiagnosticText(const ScreenForm* form, bool haltPreview) {
  const AppState& app = App();
  // The code page 932 code of each character, a double-byte one as a signed 16-bit number.
  std::wstring codes;
  for (std::size_t i = 0; i < app.commandLine.size(); ++i) {
    const std::string bytes = ToCp932(std::wstring_view(app.commandLine).substr(i, 1));
    int code = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 2) code = static_cast<std::int16_t>(code << 8 | static_cast<unsigned char>(bytes[1]));
    if (i) codes += L", ";
    codes += std::to_wstring(code);
  }
  RECT w{};
  if (form && form->hwnd()) GetWindowRect(form->hwnd(), &w);
  const float tppX = form ? form->TwipsPerPixelX() : 15.0f;
  const float tppY = form ? form->TwipsPerPixelY() : 15.0f;
  auto number = [](float v) {
    std::wstring s = std::to_wstring(v);
    s.erase(s.find_last_not_of(L'0') + 1);
    if (!s.empty() && s.back() == L'.') s.pop_back();
    return s;
  };
  std::wstring t;
  t += L"A. コマンドライン (" + app.commandLine + L")\r\n";
  t += L"B.  =(" + codes + L")\r\n";
  t += L"C. DisplayhWnd (" + std::to_wstring(static_cast<long long>(reinterpret_cast<LONG_PTR>(app.previewParent))) +
       L")\r\n";
  t += L"D. DispRec.Right/Bottom (" + std::to_wstring(app.previewRect.right) + L"," +
       std::to_wstring(app.previewRect.bottom) + L")\r\n";
  t += L"E. Screen.TwipsPerPixelX/Y (" + number(tppX) + L"," + number(tppY) + L")\r\n";
  t += L"F. SF.Width/Height (" + number(static_cast<float>(w.right - w.left) * tppX) + L", " +
       number(static_cast<float>(w.bottom - w.top) * tppY) + L")\r\n";
  t += L"G. SF.ScaleWidth/Height (" + number(form ? form->ScaleWidth() : 0) + L", " +
       number(form ? form->ScaleHeight() : 0) + L")\r\n";
  t += L"H. タイマーイベント回数 (" + std::to_wstring(form ? form->TickCount() : 0) + L") \r\n";
  t += L"haltPreview=" + std::wstring(haltPreview ? L"-1" : L"0");
  return t;
}

int RunSaver() {
  App().runMode = RunMode::kSaver;
  InstallSaverCrashGuard(SettingsFilePath(ProgramFolder()).parent_path() / kCrashLogName);
  SetScreenSaverActive(false);
  ScreenFormOptions options;
  options.mode = ScreenMode::kSaver;
  options.endAction = EndAction::kEndProcess;
  options.countTicks = App().debug;
  const std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, MakeDisplayController(ProgramFolder()));
  if (!form) {
    // The load step ended the display (missing or foreign file): the
    // activation switched off above is switched back on.
    SetScreenSaverActive(true);
    ShowCursor(TRUE);
    return 0;
  }
  form->SetTimerInterval(form->TimerInterval());
  const int rc = RunMessageLoop();
  SetScreenSaverActive(true);
  return rc;
}

int RunPreview() {
  AppState& app = App();
  if (FileExists(ProgramFolder() / L"zor_nprv.txt")) return 0;
  app.runMode = RunMode::kPreview;
  const std::int32_t handle = ParseParentHandle(app.commandLine);
  // Window handles are 32-bit values, sign-extended on 64-bit Windows.
  app.previewParent = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
  if (app.previewParent && !IsWindow(app.previewParent)) app.previewParent = nullptr;
  if (app.previewParent) GetClientRect(app.previewParent, &app.previewRect);
  ScreenFormOptions options;
  options.mode = ScreenMode::kPreview;
  options.endAction = EndAction::kUnload;
  options.previewParent = app.previewParent;
  options.countTicks = app.debug;
  const std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, MakeDisplayController(ProgramFolder()));
  if (!form) return 0;
  SetWindowTextW(form->hwnd(), L"Preview");
  if (app.previewParent) {
    LONG style = GetWindowLongW(form->hwnd(), GWL_STYLE);
    style = (style & ~static_cast<LONG>(WS_POPUP)) | WS_CHILD;
    SetWindowLongW(form->hwnd(), GWL_STYLE, style);
    SetParent(form->hwnd(), app.previewParent);
    SetWindowLongPtrW(form->hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(app.previewParent));
    SetWindowPos(form->hwnd(), nullptr, 0, 0, app.previewRect.right, app.previewRect.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  const bool haltPreview = !app.previewParent || app.previewRect.right <= 0 || app.previewRect.bottom <= 0;
  if (app.debug) {
    MessageBoxW(app.previewParent, DiagnosticText(form.get(), haltPreview).c_str(), kTitle, MB_OK);
    return 0;
  }
  // Without a host window there is nothing to draw into: a preview that
  // stayed would be an invisible process that never ends.
  if (!app.previewParent) return 0;
  form->SetTimerInterval(300);
  return RunMessageLoop();
}

int RunSettings() {
  if (FindWindowW(nullptr, kSettingsCaption)) return 0;
  return RunSettingsDialog();
}

}  // namespace

int Main() {
  // The mutex lives until the process ends; a copy still ending gets 2 s to go.
  if (ClaimSingleInstance(kMutexName, kInstanceWaitMs).anotherRuns) return 0;

  AppState& app = App();
  const std::filesystem::path folder = ProgramFolder();
  app.debug = FileExists(folder / L"zor_dbg.txt");
  SeedRandom();
  app.commandLine = LowerCase(Trim(CommandArguments()));
  const std::wstring option = app.commandLine.substr(0, 2);
  if (option == L"/s") return RunSaver();
  if (option == L"/p") return RunPreview();
  if (option == L"/c" || option.empty()) return RunSettings();
  return 0;
}

}  // namespace zor::win

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return zor::win::Main(); }

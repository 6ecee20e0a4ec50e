// The screen form's lifetime: one owner, unloading from input in the middle
// of a tick, and which modes end the caller's message loop.
#include "win/screen/screen_form.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/version.h"

namespace zor::win {
namespace {

struct Log {
  bool loaded = false;
  int ticks = 0;
  bool waitCompleted = true;
  bool closingAfterWait = false;
};

// Loads as told; each tick presses a key on the form and waits, as a
// renderer waits between the background and the text.
class KeyDuringTick final : public ScreenController {
 public:
  KeyDuringTick(Log& log, bool loads) : log_(log), loads_(loads) {}
  bool LoadData(ScreenForm&) override {
    log_.loaded = true;
    return loads_;
  }
  void Tick(ScreenForm& form) override {
    ++log_.ticks;
    PostMessageW(form.hwnd(), WM_KEYDOWN, 'A', 0);
    log_.waitCompleted = form.Wait(3000);
    log_.closingAfterWait = form.Closing();
  }

 private:
  Log& log_;
  bool loads_;
};

bool QuitPosted() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(ScreenForm, AKeyDuringTheFirstTickUnloadsAndTheOwnerDestroysTheFormAfterTheTick) {
  Log log;
  ScreenFormOptions options;
  options.mode = ScreenMode::kTestDisplay;
  options.endAction = EndAction::kUnload;
  std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, std::make_unique<KeyDuringTick>(log, true));
  ASSERT_TRUE(form);
  EXPECT_EQ(log.ticks, 1) << "the first tick runs in the load step";
  EXPECT_FALSE(log.waitCompleted) << "the wait ends when the form is unloaded";
  EXPECT_TRUE(log.closingAfterWait);
  EXPECT_TRUE(form->Closing());
  const HWND h = form->hwnd();
  ASSERT_TRUE(IsWindow(h)) << "the window lives until its owner lets the form go";
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "unloading leaves the top-most band";
  form.reset();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(QuitPosted()) << "the test display leaves its caller's message loop running";
}

// A load step that fails hands back no form; outside the test display the
// message loop is told to end, as the saver's unload always did.
TEST(ScreenForm, AFailedLoadHandsBackNothing) {
  const struct {
    ScreenMode mode;
    bool quit;
  } cases[] = {{ScreenMode::kTestDisplay, false}, {ScreenMode::kSaver, true}};
  for (const auto& c : cases) {
    Log log;
    ScreenFormOptions options;
    options.mode = c.mode;
    options.endAction = EndAction::kUnload;
    std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, std::make_unique<KeyDuringTick>(log, false));
    EXPECT_EQ(form, nullptr);
    EXPECT_TRUE(log.loaded);
    EXPECT_EQ(log.ticks, 0);
    EXPECT_EQ(QuitPosted(), c.quit) << static_cast<int>(c.mode);
  }
}

class Idle final : public ScreenController {
 public:
  bool LoadData(ScreenForm&) override { return true; }
  void Tick(ScreenForm&) override {}
};

TEST(ScreenForm, CreditLabelOfEachMode) {
  const struct {
    ScreenMode mode;
    std::wstring caption;
  } cases[] = {
      {ScreenMode::kSaver, L"\"ZORANTE ScreenSaver 32\" v" + std::wstring(kVersion) +
                               L"         \rTitle cards for your own words - the ZORANTE team"},
      {ScreenMode::kTestDisplay, L"Click to end.   "},
      {ScreenMode::kPreview, L""},
  };
  for (const auto& c : cases) {
    ScreenFormOptions options;
    options.mode = c.mode;
    options.endAction = EndAction::kUnload;
    std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, std::make_unique<Idle>());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Credit().caption, c.caption);
    if (c.mode == ScreenMode::kSaver) ShowCursor(TRUE);  // the saver hid it
  }
}


// The display's power as the system reports it to the window (Wine never
// sends these, so they are delivered here as the system would).
void SendDisplayState(HWND form, DWORD state) {
  alignas(POWERBROADCAST_SETTING) unsigned char bytes[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)]{};
  auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes);
  setting->PowerSetting = GUID_CONSOLE_DISPLAY_STATE;
  setting->DataLength = sizeof(DWORD);
  std::memcpy(setting->Data, &state, sizeof state);
  SendMessageW(form, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(setting));
}

void Pump(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

// Ticks at 400 ms; a tick may turn the display off in its middle, as a
// notification that comes while a page waits.
class CountingTicks final : public ScreenController {
 public:
  int ticks = 0;
  bool displayOffDuringTick = false;
  bool LoadData(ScreenForm& form) override {
    form.SetTimerInterval(400);
    return true;
  }
  void Tick(ScreenForm& form) override {
    ++ticks;
    if (displayOffDuringTick) SendDisplayState(form.hwnd(), 0);
    form.SetTimerInterval(400);  // as every page sets it again
  }
};

TEST(ScreenForm, NoTickWhileTheDisplayIsOffAndTheNextPageAtOnceWhenItIsOn) {
  ScreenFormOptions options;
  options.mode = ScreenMode::kSaver;
  options.endAction = EndAction::kUnload;
  auto owned = std::make_unique<CountingTicks>();
  CountingTicks& c = *owned;
  std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, std::move(owned));
  ASSERT_TRUE(form);
  ShowCursor(TRUE);  // the saver hid it
  const HWND h = form->hwnd();
  Pump(500);
  EXPECT_GE(c.ticks, 2) << "the timer runs";

  // Off and dimmed are both rest: no timer fires for several intervals.
  for (DWORD state : {0u, 2u}) {
    SendDisplayState(h, state);
    EXPECT_TRUE(form->Resting());
    const int before = c.ticks;
    Pump(1000);
    EXPECT_EQ(c.ticks, before) << state;
  }
  SendDisplayState(h, 1);
  EXPECT_FALSE(form->Resting());
  const int before = c.ticks;
  Pump(150);
  EXPECT_EQ(c.ticks, before + 1) << "on again: the next page at once, not after an interval";
  Pump(400);
  EXPECT_EQ(c.ticks, before + 2) << "and the timer runs from then";

  // "On" sent while on (as the system does when the window registers) changes nothing.
  SendDisplayState(h, 1);
  Pump(100);
  EXPECT_EQ(c.ticks, before + 2);

  // A page whose display goes off in its middle does not set the timer going again.
  c.displayOffDuringTick = true;
  Pump(400);
  c.displayOffDuringTick = false;
  ASSERT_TRUE(form->Resting());
  const int paused = c.ticks;
  Pump(1000);
  EXPECT_EQ(c.ticks, paused);
  SendDisplayState(h, 1);
  Pump(100);
  EXPECT_EQ(c.ticks, paused + 1);
  form->Unload();
}

// Sleep and wake: nothing while suspended; on waking one page at once, not
// the ticks missed meanwhile, and the period counts from the wake.
TEST(ScreenForm, WakingFromSleepDrawsOnePageAndFiresNoMissedTicks) {
  ScreenFormOptions options;
  options.mode = ScreenMode::kSaver;
  options.endAction = EndAction::kUnload;
  auto owned = std::make_unique<CountingTicks>();
  CountingTicks& c = *owned;
  std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, std::move(owned));
  ASSERT_TRUE(form);
  ShowCursor(TRUE);
  const HWND h = form->hwnd();
  SendMessageW(h, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  const int before = c.ticks;
  Pump(1000);
  EXPECT_EQ(c.ticks, before);
  SendMessageW(h, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  Pump(300);
  EXPECT_EQ(c.ticks, before + 1);
  Pump(200);
  EXPECT_EQ(c.ticks, before + 2);

  // A wake whose suspend was never told: the same, one page at once.
  Pump(100);  // 100 ms into the period
  SendMessageW(h, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  Pump(50);
  EXPECT_EQ(c.ticks, before + 3);
  Pump(250);
  EXPECT_EQ(c.ticks, before + 3) << "the period starts again from the wake";
  form->Unload();
}

}  // namespace
}  // namespace zor::win

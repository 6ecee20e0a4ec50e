// The screen form's lifetime: one owner, unloading from input in the middle
// of a tick, and which modes end the caller's message loop.
#include "win/screen/screen_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/version.h"
#include "win/common/dib.h"

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

// The preview's written pages are these copies: a label the screen shows
// must be in them, or a credit line in the preview would go unseen.
TEST(ScreenForm, TheCopyAsShownHoldsTheCreditLabelOverTheImage) {
  ScreenFormOptions options;
  options.mode = ScreenMode::kTestDisplay;
  options.endAction = EndAction::kUnload;
  std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, std::make_unique<Idle>());
  ASSERT_TRUE(form);
  const auto inked = [&] {
    DibImage page;
    EXPECT_TRUE(form->CopyAsShown(page));
    EXPECT_EQ(page.width(), form->PixelWidth());
    EXPECT_EQ(page.height(), form->PixelHeight());
    return std::count_if(page.pixels(), page.pixels() + page.width() * page.height(),
                         [](std::uint32_t p) { return (p & 0xFFFFFF) != 0; });
  };
  CreditLabel& label = form->Credit();
  label.left = 30;
  label.top = 30;
  label.colour = RGB(255, 255, 255);
  label.visible = false;
  EXPECT_EQ(inked(), 0) << "a hidden label: the black image alone";
  label.visible = true;
  EXPECT_GT(inked(), 20) << "the caption in white over the black image";
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

// Runs messages until ticks reach the count; the milliseconds it took (the
// timeout when they did not). A loaded machine makes timers late, never early.
template <class Counter>
ULONGLONG PumpUntil(const Counter& ticks, int count, DWORD timeout = 3000) {
  const ULONGLONG start = GetTickCount64();
  while (ticks.ticks < count && GetTickCount64() - start < timeout) {
    MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return GetTickCount64() - start;
}

constexpr UINT kTickMs = 1000;

// Ticks every second; a tick may turn the display off in its middle, as a
// notification that comes while a page waits.
class CountingTicks final : public ScreenController {
 public:
  int ticks = 0;
  bool displayOffDuringTick = false;
  bool LoadData(ScreenForm& form) override {
    form.SetTimerInterval(kTickMs);
    return true;
  }
  void Tick(ScreenForm& form) override {
    ++ticks;
    if (displayOffDuringTick) SendDisplayState(form.hwnd(), 0);
    form.SetTimerInterval(kTickMs);  // as every page sets it again
  }
};

std::unique_ptr<ScreenForm> LoadSaver(CountingTicks*& counter) {
  ScreenFormOptions options;
  options.mode = ScreenMode::kSaver;
  options.endAction = EndAction::kUnload;
  auto owned = std::make_unique<CountingTicks>();
  counter = owned.get();
  std::unique_ptr<ScreenForm> form = ScreenForm::Load(options, std::move(owned));
  ShowCursor(TRUE);  // the saver hid it
  return form;
}

TEST(ScreenForm, NoTickWhileTheDisplayIsOffAndTheNextPageAtOnceWhenItIsOn) {
  CountingTicks* c = nullptr;
  std::unique_ptr<ScreenForm> form = LoadSaver(c);
  ASSERT_TRUE(form);
  const HWND h = form->hwnd();
  ASSERT_EQ(c->ticks, 1) << "the first page at load";

  // Off and dimmed are both rest: no timer fires for more than an interval.
  for (DWORD state : {0u, 2u}) {
    SendDisplayState(h, state);
    EXPECT_TRUE(form->Resting());
    Pump(kTickMs + 500);
    EXPECT_EQ(c->ticks, 1) << state;
  }
  SendDisplayState(h, 1);
  EXPECT_FALSE(form->Resting());
  EXPECT_LT(PumpUntil(*c, 2), kTickMs / 2) << "on again: the next page at once, not after an interval";
  EXPECT_GE(PumpUntil(*c, 3), kTickMs - 100) << "and the timer counts from that page";
  ASSERT_EQ(c->ticks, 3);

  // "On" sent while on (as the system does when the window registers) changes nothing.
  SendDisplayState(h, 1);
  Pump(200);
  EXPECT_EQ(c->ticks, 3);

  // A page whose display goes off in its middle does not set the timer going again.
  c->displayOffDuringTick = true;
  (void)PumpUntil(*c, 4);
  c->displayOffDuringTick = false;
  ASSERT_TRUE(form->Resting());
  Pump(kTickMs + 500);
  EXPECT_EQ(c->ticks, 4);
  SendDisplayState(h, 1);
  EXPECT_LT(PumpUntil(*c, 5), kTickMs / 2);
  form->Unload();
}

// Sleep and wake: nothing while suspended; on waking one page at once, not
// the ticks missed meanwhile, and the period counts from the wake.
TEST(ScreenForm, WakingFromSleepDrawsOnePageAndFiresNoMissedTicks) {
  CountingTicks* c = nullptr;
  std::unique_ptr<ScreenForm> form = LoadSaver(c);
  ASSERT_TRUE(form);
  const HWND h = form->hwnd();
  SendMessageW(h, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  Pump(kTickMs + 500);
  EXPECT_EQ(c->ticks, 1);
  SendMessageW(h, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_LT(PumpUntil(*c, 2), kTickMs / 2);
  Pump(kTickMs / 2);
  EXPECT_EQ(c->ticks, 2) << "no missed tick after the wake's page";

  // A wake whose suspend was never told, half-way through a period: one
  // page at once, and the next a whole period after it.
  SendMessageW(h, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_LT(PumpUntil(*c, 3), kTickMs / 2);
  EXPECT_GE(PumpUntil(*c, 4), kTickMs - 100) << "the period starts again from the wake";
  form->Unload();
}

}  // namespace
}  // namespace zor::win

// The screen form's lifetime: one owner, unloading from input in the middle
// of a tick, and which modes end the caller's message loop.
#include "win/screen/screen_form.h"

#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace
}  // namespace zor::win

// The screen form: full screen and top-most for the saver and the test
// display, a child of the host's window for the preview. Everything drawn
// goes to a persistent image (a memory DIB) that painting shows with one blit.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/screen/pixel_rect.h"
#include "core/screen/sequencer.h"
#include "win/common/diagnostics.h"
#include "win/common/dib.h"
#include "win/common/window.h"
#include "win/screen/cover_windows.h"
#include "win/screen/credit_label.h"
#include "win/screen/form_images.h"
#include "win/screen/picture_worker.h"

namespace zor::win {

class ScreenForm;

// What the form does with its data: loading the settings and the message
// file, and one display tick. Implemented by the display sequencer.
class ScreenController {
 public:
  virtual ~ScreenController() = default;
  // Reads settings and the registration file; false ends the display.
  [[nodiscard]] virtual bool LoadData(ScreenForm& form) = 0;
  virtual void Tick(ScreenForm& form) = 0;
  // Idle time after a tick: the next page may be rehearsed, so that its
  // tick finds what it draws made already. Nothing on the screen changes.
  virtual void Rehearse(ScreenForm& form) { (void)form; }
};

enum class ScreenMode { kSaver, kPreview, kTestDisplay };

// What input on the form does.
enum class EndAction {
  kEndProcess,  // the cursor shows, screen-saver activation is switched back on, the process ends
  kUnload,      // the form is unloaded; its owner destroys it
};

// What the form is loaded for, given by whoever loads it.
struct ScreenFormOptions {
  ScreenMode mode = ScreenMode::kSaver;
  EndAction endAction = EndAction::kEndProcess;
  HWND previewParent = nullptr;  // preview: the host's window
  HWND owner = nullptr;          // test display: the window it returns to
  TestDisplayRequest test;       // test display: the message and thumbnail
  bool countTicks = false;       // diagnostics: display ticks are counted
};

class ScreenForm final : public Window, public WorkWaiter {
 public:
  // Runs the load step (outside the preview the first tick too) and hands
  // the form to the caller, its one owner; nullptr when the load step ended
  // the display. Input during the first tick may have unloaded it already.
  [[nodiscard]] static std::unique_ptr<ScreenForm> Load(const ScreenFormOptions& options,
                                                        std::unique_ptr<ScreenController> controller);
  ~ScreenForm() override;

  // Unload step: the timer stops, the form leaves the top-most band and the
  // input method's status window opens again; outside the test display the
  // message loop is told to end. The owner destroys the form afterwards,
  // when no tick is on the stack any more.
  void Unload();
  // What input does: the end action of the options.
  void End();

  [[nodiscard]] const ScreenFormOptions& Options() const noexcept { return options_; }
  [[nodiscard]] ScreenMode Mode() const noexcept { return options_.mode; }

  // The persistent images: the first, and a second of the same size.
  [[nodiscard]] FormImages& Images() noexcept { return images_; }
  [[nodiscard]] HDC ImageDc() const noexcept { return images_.FirstDc(); }
  [[nodiscard]] int PixelWidth() const noexcept { return images_.Width(); }
  [[nodiscard]] int PixelHeight() const noexcept { return images_.Height(); }
  [[nodiscard]] float TwipsPerPixelX() const noexcept { return tppX_; }
  [[nodiscard]] float TwipsPerPixelY() const noexcept { return tppY_; }
  [[nodiscard]] float ScaleWidth() const noexcept;
  [[nodiscard]] float ScaleHeight() const noexcept;
  // Shows the image (and the credit label) on the screen now.
  void Refresh();
  // Shows the parts of the image that changed (image pixels), and the credit
  // label where it changed, now.
  void Present(std::span<const PixelRect> changed);
  // Shows all of the image, which is the plain colour outside the rectangles
  // given: the screen is filled with the colour and only they are copied.
  void PresentOnGround(COLORREF ground, std::span<const PixelRect> drawn);

  // The page as the window shows it, the credit label over the image,
  // copied into page (made the image's size). False when it cannot be made.
  [[nodiscard]] bool CopyAsShown(DibImage& page) const;

  CreditLabel& Credit() noexcept { return credit_.label; }
  // The credit label's size in points, as its caption lays out in its font.
  [[nodiscard]] PointSize CreditSize() const;

  // The display timer: an interval of 0 stops it. The test display draws once and has no timer.
  void SetTimerInterval(UINT ms);
  [[nodiscard]] UINT TimerInterval() const noexcept { return interval_; }

  // Waits ms milliseconds; window messages run meanwhile unless in preview.
  // False when the form was unloaded during the wait.
  [[nodiscard]] bool Wait(DWORD ms);
  // Waits for work off the thread as Wait does (the preview only sleeps);
  // gives up when the form closes. True when the work ended.
  [[nodiscard]] bool WaitFor(HANDLE done, DWORD ms) override;
  [[nodiscard]] bool Closing() const noexcept { return closing_; }

  // Diagnostics: display ticks past the size guard, counted when the options ask.
  void CountTick() noexcept;
  [[nodiscard]] std::int32_t TickCount() const noexcept { return tickCount_; }

  // The display's power: while it is off (or dimmed) no timer runs and
  // nothing is drawn; when it is on again, and after the system wakes from
  // sleep, the next page is drawn at once and the timer counts from then,
  // so no missed tick fires and the date and time are those of the wake.
  [[nodiscard]] bool Resting() const noexcept { return displayOff_ || suspended_; }

  // The saver's rule for a pointer event at a screen position: the first
  // event records where the pointer stands, any later other position ends.
  void PointerMoved(POINT screenPoint);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  ScreenForm(const ScreenFormOptions& options, std::unique_ptr<ScreenController> controller);
  [[nodiscard]] bool CreateWindowAndImage();
  [[nodiscard]] bool ResizeImage(int width, int height);
  void RunTick();
  void OnPaint();
  void StartSoakLog();
  void WatchDisplayPower();
  void OnPowerBroadcast(WPARAM event, LPARAM data);
  void Rest();
  void NextPageNow();

  ScreenFormOptions options_;
  std::unique_ptr<ScreenController> controller_;
  FormImages images_;
  float tppX_ = 15;
  float tppY_ = 15;
  UINT interval_ = 0;
  bool timerOn_ = false;
  bool closing_ = false;
  bool ticking_ = false;
  std::int32_t tickCount_ = 0;
  POINT pointer_{0, 0};
  HPOWERNOTIFY displayNotify_ = nullptr;
  bool displayOff_ = false;
  bool suspended_ = false;
  CreditLabelView credit_;
  // A showing by PresentOnGround in progress: the next paint fills.
  bool groundFillPending_ = false;
  COLORREF groundFill_ = 0;
  std::vector<PixelRect> groundDrawn_;
  CoverWindows covers_;
  std::unique_ptr<SoakLog> soakLog_;  // diagnostics: only when the environment asks
  bool crashTestInTimer_ = false;     // diagnostics: the crash guard's end-to-end test
  long soakTicks_ = 0;
};

// Ends the saver: the cursor shows again, the system's screen-saver
// activation is switched back on and the process ends at once.
[[noreturn]] void EndSaver();

}  // namespace zor::win

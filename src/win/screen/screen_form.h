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

#include "core/screen/sequencer.h"
#include "win/common/diagnostics.h"
#include "win/common/dib.h"
#include "win/common/handles.h"
#include "win/common/window.h"

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

// The credit label: a caption over the image, placed in points.
struct CreditLabel {
  std::wstring caption;
  bool visible = false;
  float left = 0;  // points
  float top = 0;
  COLORREF colour = RGB(255, 255, 255);
};

class ScreenForm final : public Window {
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

  // Persistent image.
  [[nodiscard]] HDC ImageDc() const noexcept { return image_.dc(); }
  // A second image of the same size, made on the first call (null when it
  // cannot be), and which of the two the screen shows (the first until told).
  [[nodiscard]] HDC SecondImageDc();
  void ShowImage(HDC image) noexcept { shownImage_ = image; }
  [[nodiscard]] std::uint32_t* ImageBits() const noexcept { return image_.pixels(); }
  [[nodiscard]] int PixelWidth() const noexcept { return image_.width(); }
  [[nodiscard]] int PixelHeight() const noexcept { return image_.height(); }
  [[nodiscard]] float TwipsPerPixelX() const noexcept { return tppX_; }
  [[nodiscard]] float TwipsPerPixelY() const noexcept { return tppY_; }
  [[nodiscard]] float ScaleWidth() const noexcept { return static_cast<float>(PixelWidth()) * tppX_ / 20.0f; }
  [[nodiscard]] float ScaleHeight() const noexcept { return static_cast<float>(PixelHeight()) * tppY_ / 20.0f; }
  // Shows the image (and the credit label) on the screen now.
  void Refresh();
  // Shows the parts of the image that changed (image pixels), and the credit
  // label where it changed, now.
  void Present(std::span<const RECT> changed);
  // Shows all of the image, which is the plain colour outside the rectangles
  // given: the screen is filled with the colour and only they are copied.
  void PresentOnGround(COLORREF ground, std::span<const RECT> drawn);

  CreditLabel& Credit() noexcept { return label_; }
  // The credit label's size in points, as its caption lays out in its font.
  [[nodiscard]] SIZE CreditSizePixels();
  [[nodiscard]] float CreditWidth();
  [[nodiscard]] float CreditHeight();

  // The display timer: an interval of 0 stops it. The test display draws once and has no timer.
  void SetTimerInterval(UINT ms);
  [[nodiscard]] UINT TimerInterval() const noexcept { return interval_; }

  // Waits ms milliseconds; window messages run meanwhile unless in preview.
  // False when the form was unloaded during the wait.
  [[nodiscard]] bool Wait(DWORD ms);
  [[nodiscard]] bool Closing() const noexcept { return closing_; }

  // Diagnostics: display ticks past the size guard, counted when the options ask.
  void CountTick() noexcept;
  [[nodiscard]] std::int32_t TickCount() const noexcept { return tickCount_; }

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
  void CoverOtherMonitors();
  void DrawLabel(HDC dc);
  // Where the label stands on the screen (empty when hidden).
  [[nodiscard]] RECT LabelRect();
  void StartSoakLog();

  ScreenFormOptions options_;
  std::unique_ptr<ScreenController> controller_;
  DibImage image_;
  DibImage secondImage_;
  HDC shownImage_ = nullptr;  // null: image_
  float tppX_ = 15;
  float tppY_ = 15;
  UINT interval_ = 0;
  bool timerOn_ = false;
  bool closing_ = false;
  bool ticking_ = false;
  std::int32_t tickCount_ = 0;
  POINT pointer_{0, 0};
  CreditLabel label_;
  // The label as last shown: where, and in which colour and words.
  RECT labelShown_{0, 0, 0, 0};
  // A showing by PresentOnGround in progress: the next paint fills.
  bool groundFillPending_ = false;
  COLORREF groundFill_ = 0;
  std::vector<RECT> groundDrawn_;
  COLORREF labelShownColour_ = 0;
  std::wstring labelShownCaption_;
  UniqueFont labelFont_;
  std::vector<std::unique_ptr<Window>> covers_;
  std::unique_ptr<SoakLog> soakLog_;  // diagnostics: only when the environment asks
  bool crashTestInTimer_ = false;     // diagnostics: the crash guard's end-to-end test
  long soakTicks_ = 0;
};

// Ends the saver: the cursor shows again, the system's screen-saver
// activation is switched back on and the process ends at once.
[[noreturn]] void EndSaver();

}  // namespace zor::win

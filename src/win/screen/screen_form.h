// The screen form: full screen and top-most for the saver and the test
// display, a child of the host's window for the preview. Everything drawn
// goes to a persistent image (a memory DIB) that painting shows with one blit.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "win/common/handles.h"
#include "win/common/window.h"

namespace zor::win {

class ScreenForm;

// What the form does with its data: loading the settings and the message
// file, and one display tick. Implemented by the display sequencer.
class ScreenController {
 public:
  virtual ~ScreenController() = default;
  // Reads settings and the registration file; false ends the process.
  [[nodiscard]] virtual bool LoadData(ScreenForm& form) = 0;
  virtual void Tick(ScreenForm& form) = 0;
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
  // Loads the form (its load step, including the first tick outside preview).
  // False when the load step ended the display.
  [[nodiscard]] static bool Load(std::unique_ptr<ScreenController> controller);
  // Unload step and destruction; ends the message loop outside the test display.
  static void Unload();
  [[nodiscard]] static ScreenForm* Current() noexcept;

  // Persistent image.
  [[nodiscard]] HDC ImageDc() const noexcept { return imageDc_.get(); }
  [[nodiscard]] void* ImageBits() const noexcept { return bits_; }
  [[nodiscard]] int PixelWidth() const noexcept { return width_; }
  [[nodiscard]] int PixelHeight() const noexcept { return height_; }
  [[nodiscard]] float TwipsPerPixelX() const noexcept { return tppX_; }
  [[nodiscard]] float TwipsPerPixelY() const noexcept { return tppY_; }
  [[nodiscard]] float ScaleWidth() const noexcept { return static_cast<float>(width_) * tppX_ / 20.0f; }
  [[nodiscard]] float ScaleHeight() const noexcept { return static_cast<float>(height_) * tppY_ / 20.0f; }
  // Shows the image (and the credit label) on the screen now.
  void Refresh();

  CreditLabel& Label1() noexcept { return label_; }
  // The credit label's size in points, as its caption lays out in its font.
  [[nodiscard]] SIZE Label1SizePixels();
  [[nodiscard]] float Label1Width();
  [[nodiscard]] float Label1Height();

  // Timer1: an interval of 0 stops it.
  void SetTimerInterval(UINT ms);
  [[nodiscard]] UINT TimerInterval() const noexcept { return interval_; }

  // Waits ms milliseconds; window messages run meanwhile unless in preview.
  // False when the form was closed during the wait.
  [[nodiscard]] bool Wait(DWORD ms);
  [[nodiscard]] bool Closing() const noexcept { return closing_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  explicit ScreenForm(std::unique_ptr<ScreenController> controller);
  [[nodiscard]] bool CreateWindowAndImage();
  [[nodiscard]] bool ResizeImage(int width, int height);
  void OnPaint();
  void OnInput();
  void OnMouseMove(POINT screenPoint);
  void CoverOtherMonitors();
  void DrawLabel(HDC dc);

  std::unique_ptr<ScreenController> controller_;
  UniqueMemoryDc imageDc_;
  UniqueBitmap image_;
  HGDIOBJ oldBitmap_ = nullptr;
  void* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  float tppX_ = 15;
  float tppY_ = 15;
  UINT interval_ = 0;
  bool timerOn_ = false;
  bool closing_ = false;
  bool ticking_ = false;
  CreditLabel label_;
  UniqueFont labelFont_;
  std::vector<std::unique_ptr<Window>> covers_;
};

// End-on-input rule shared by the form and the windows that cover other
// monitors: any later pointer position that differs from the first one ends.
void PointerMoved(POINT screenPoint);
void ResetPointerRule();

}  // namespace zor::win

#include "win/screen/display.h"

#include <random>

#include "win/startup/app_state.h"

namespace zor::win {

namespace {

std::mt19937& Generator() {
  static std::mt19937 g;
  return g;
}

// Interim display until the sequencer is connected: the ground and the
// credit label on every tick.
class DisplayController final : public ScreenController {
 public:
  bool LoadData(ScreenForm& form) override {
    form.SetTimerInterval(6000);
    return true;
  }

  void Tick(ScreenForm& form) override {
    if (form.PixelWidth() <= 10 || form.PixelHeight() <= 10) return;
    AppState& app = App();
    if (app.debug && ++app.debugTickCount > 2000000000) app.debugTickCount = 1000000000;
    PatBlt(form.ImageDc(), 0, 0, form.PixelWidth(), form.PixelHeight(), BLACKNESS);
    CreditLabel& label = form.Label1();
    label.visible = true;
    label.left = 5;
    label.top = form.ScaleHeight() - 1.25f * form.Label1Height();
    label.colour = RGB(255, 255, 255);
    form.Refresh();
  }
};

}  // namespace

void SeedRandom() { Generator().seed(static_cast<std::mt19937::result_type>(GetTickCount64() ^ GetCurrentProcessId())); }

std::unique_ptr<ScreenController> MakeDisplayController() { return std::make_unique<DisplayController>(); }

}  // namespace zor::win

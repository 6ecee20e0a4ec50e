#include "core/settings_dialog/display_options.h"

#include <algorithm>

#include "core/screen/palette.h"

namespace zor {

DisplayOptionsModel::DisplayOptionsModel(const DisplayOptions& stored) : current_(stored) {
  current_.colour = NormaliseEmphasisColour(stored.colour);
  if (current_.layout == -1) current_.layout = 0;
  // A check box stores -1 or 0: any other true value is shown ticked and stored as -1.
  SetEmphasisOn(stored.emphasisOn != 0);
}

std::int16_t DisplayOptionsModel::IntervalPosition() const {
  return std::clamp(current_.interval, kIntervalMin, kIntervalMax);
}

void DisplayOptionsModel::ScrollIntervalBy(int steps) {
  // Clamped before the product so no step count can overflow.
  const int n =
      std::clamp(steps, -(kIntervalMax - kIntervalMin) / kIntervalStep, (kIntervalMax - kIntervalMin) / kIntervalStep);
  ScrollIntervalTo(IntervalPosition() + n * kIntervalStep);
}

void DisplayOptionsModel::ScrollIntervalTo(int position) {
  current_.interval = static_cast<std::int16_t>(std::clamp<int>(position, kIntervalMin, kIntervalMax));
}

std::int16_t DisplayOptionsModel::SampleColour() const { return EmphasisOn() ? current_.colour : kPaletteBlack; }

void DisplayOptionsModel::SetColour(std::int16_t index) { current_.colour = NormaliseEmphasisColour(index); }

std::int16_t DisplayOptionsModel::SchemeOfPicture(int index) {
  switch (index) {
    case 0:
      return 0;
    case 1:
      return 2;
    case 2:
      return 1;
    case 3:
      return 2;
    default:
      return 3;
  }
}

std::int16_t DisplayOptionsModel::LayoutOfPicture(int index) {
  switch (index) {
    case 0:
      return 0;
    case 1:
      return 1;
    default:
      return 2;
  }
}

}  // namespace zor

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
  // Pictures 0 to 3 stand for schemes 0, 2, 1 and 2; the rest for scheme 3.
  constexpr std::int16_t kSchemes[] = {0, 2, 1, 2};
  return index >= 0 && index < 4 ? kSchemes[index] : std::int16_t{3};
}

std::int16_t DisplayOptionsModel::LayoutOfPicture(int index) {
  // Pictures 0 and 1 stand for layouts 0 and 1; the rest for layout 2.
  return static_cast<std::int16_t>(index == 0 || index == 1 ? index : 2);
}

}  // namespace zor

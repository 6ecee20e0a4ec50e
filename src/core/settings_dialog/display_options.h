// The per-file display options as the options dialog shows and stores them:
// a stored emphasis colour outside 1..14 is shown (and so stored) as 12, a
// stored layout of -1 as 0; anything not set keeps its stored value.
#pragma once

#include <cstdint>

#include "core/data/registration_file.h"

namespace zor {

// The interval's scroll bar: 1000 to 11000 ms, the arrows and the page both
// move it by 1000.
inline constexpr std::int16_t kIntervalMin = 1000;
inline constexpr std::int16_t kIntervalMax = 11000;
inline constexpr std::int16_t kIntervalStep = 1000;

class DisplayOptionsModel {
 public:
  explicit DisplayOptionsModel(const DisplayOptions& stored);

  [[nodiscard]] const DisplayOptions& Current() const { return current_; }
  [[nodiscard]] bool EmphasisOn() const { return current_.emphasisOn != 0; }
  // The sample character's palette colour: the emphasis colour, black when emphasis is off.
  [[nodiscard]] std::int16_t SampleColour() const;
  // The fourteen colour swatches are shown only while emphasis is on.
  [[nodiscard]] bool SwatchesVisible() const { return EmphasisOn(); }

  void SetInterval(std::int16_t ms) { current_.interval = ms; }
  // Where the scroll bar shows the interval: within the bar's range. A
  // stored interval outside it is kept until the bar is moved.
  [[nodiscard]] std::int16_t IntervalPosition() const;
  // The bar moved by steps of kIntervalStep from where it shows the interval,
  // or to a position; either stops at the bar's ends.
  void ScrollIntervalBy(int steps);
  void ScrollIntervalTo(int position);
  void SetScheme(std::int16_t scheme) { current_.scheme = scheme; }
  void SetEmphasisOn(bool on) { current_.emphasisOn = on ? -1 : 0; }
  void SetOrder(std::int16_t order) { current_.order = order; }
  // Swatch 1..14; any other index is taken as 12.
  void SetColour(std::int16_t index);
  void SetLayout(std::int16_t layout) { current_.layout = layout; }
  // The pictures beside the option buttons select an option.
  void ClickSchemePicture(int index) { SetScheme(SchemeOfPicture(index)); }
  void ClickLayoutPicture(int index) { SetLayout(LayoutOfPicture(index)); }

  // The six values OK writes.
  [[nodiscard]] DisplayOptions Result() const { return current_; }

  // Colour-scheme pictures 0..6 and layout pictures 0..3 to their option.
  [[nodiscard]] static std::int16_t SchemeOfPicture(int index);
  [[nodiscard]] static std::int16_t LayoutOfPicture(int index);

 private:
  DisplayOptions current_;
};

}  // namespace zor

// A title-card page on the recording surface: everything a renderer needs,
// with pictures that only note what they were asked.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/screen/page_frame.h"
#include "core/screen/recording_surface.h"

namespace zor::card_test {

inline std::string Bands(TextPlace place, float h, float v) {
  std::ostringstream out;
  out << "corner " << static_cast<int>(place) << " " << h << " " << v;
  return out.str();
}

class NotingPictures final : public BackgroundPictures {
 public:
  explicit NotingPictures(RecordingSurface& surface) : surface_(surface) {}
  std::wstring file;
  bool corner = false;

  [[nodiscard]] std::wstring ChooseBackgroundFile(const FrameState&) override {
    surface_.Note("choose");
    return file;
  }
  [[nodiscard]] bool PaintBackground(const std::wstring&) override {
    surface_.Note("paint");
    return corner;
  }
  void PaintBackgroundCorner(const std::wstring&, TextPlace place, float h, float v) override {
    surface_.Note(Bands(place, h, v));
  }

 private:
  RecordingSurface& surface_;
};

// 1024 × 768 pixels at 15 twips per pixel: 768 × 576 points.
struct CardBench {
  explicit CardBench(float widthPixels = 1024, float heightPixels = 768, std::int16_t decoration = 0)
      : surface(widthPixels, heightPixels),
        pictures(surface),
        drawer(surface, decoration, settings.typeFace, settings.boldType),
        frame(surface, clock, pictures, background, state),
        context{drawer, frame, random, settings} {}

  DrawSettings settings{L"IPAMincho", true, 0};
  BackgroundSettings background;
  FrameState state;
  RecordingSurface surface;
  ManualClock clock;
  ScriptedRandom random;
  NotingPictures pictures;
  GlyphDrawer drawer;
  PageFrame frame;
  CardContext context;
};

}  // namespace zor::card_test

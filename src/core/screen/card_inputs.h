// What the title-card renderers are given: the settings they read, the
// emphasis options of the registration file, the format of the message being
// shown, and the background options and state of the page frame.
#pragma once

#include <cstdint>
#include <string>

#include "core/data/default_face.h"
#include "core/data/message_format.h"
#include "core/data/settings.h"
#include "core/screen/palette.h"

namespace zor {

// Settings keys "UseFont", "UseFontBold", "DecoFont".
struct DrawSettings {
  std::wstring typeFace{kDefaultFace};
  bool boldType = true;
  std::int16_t decorationStyle = kDecorationNone;
};

// The registration file's emphasis flag and colour index.
struct EmphasisOptions {
  bool on = false;
  std::int16_t colour = kDefaultEmphasisColour;
};

// The format of the message being shown: marks of characters 1..32 ('A' =
// marked; missing or other bytes = unmarked), the emphasis mode byte, the
// fold position (1..32, 0 = automatic), the fold kind and fixed layout bytes.
struct CurrentFormat {
  std::string emphasisMarks;
  char emphasisMode = ' ';
  std::int16_t foldPosition = 0;
  char foldKind = ' ';
  char fixedLayout = ' ';
};

inline constexpr int kMarkedCharacters = static_cast<int>(kMarkCount);

// Settings keys "BgBMP", "BWbyFN", "ItBMP" as the frame reads them.
struct BackgroundSettings {
  std::int16_t backgroundMode = 0;
  std::int16_t schemeByFileName = 0;
  std::int16_t intervalMode = 0;
};

// Every picture key: the frame's three and the sources and scalings of the
// background ("BgBMPStr", "BgBMPDorB", "BgBMPDir", "BgBMPBMP") and of the
// interval images ("ItBMPStr", "ItBMPDir").
struct PictureSettings {
  BackgroundSettings frame;
  std::int16_t backgroundStretch = 0;
  std::int16_t backgroundFromFile = 0;  // -1: the single file backgroundSingleFile
  std::wstring backgroundFolder;
  std::wstring backgroundSingleFile;
  std::int16_t intervalStretch = 0;
  std::wstring intervalFolder;
};

// Background state kept between pages: the file chosen for this page, the
// colour scheme locked by a picture's name, the interval images' flag and
// the sequencer's tick (0, 1, 2).
struct FrameState {
  std::wstring backgroundFile;
  bool pendingCorner = false;
  bool schemeLocked = false;
  bool intervalJustShown = false;
  std::int16_t displayTick = 0;
};

// One page request: the message as shown, its format and emphasis options,
// and whether it is the settings dialog's test display (no stopwatch, no
// wait).
struct CardRequest {
  std::wstring text;
  CurrentFormat format;
  EmphasisOptions emphasis;
  bool testDisplay = false;
};

// Plain type: black on a white ground, white on a black one.
[[nodiscard]] constexpr Rgb TypeColour(bool invertColours) noexcept {
  return PaletteColour(invertColours ? kPaletteBlack : kPaletteWhite);
}

}  // namespace zor

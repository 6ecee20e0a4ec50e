// The emphasis composers: messages wholly of full-width characters drawn one
// character at a time, so that single characters can take the emphasis
// colour and the two runs of an L can differ in size. `ComposeLBottomLeft`
// runs down the left edge and along the bottom, `ComposeLTopRight` along the
// top and down the right edge, `ComposeCentred` in one row across the middle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/screen/page_frame.h"

namespace zor {

enum class LShape { kBottomLeft, kTopRight };

// Sizes of an L: size1 for characters before the fold, size2 after it; the
// corner character `fold` (1-based) takes the size of the part it belongs to.
struct LSizes {
  float size1 = 0.0f;
  float size2 = 0.0f;
  int fold = 1;
  bool cornerInFirst = true;
};

// Where one character goes: its top-left (for a turned character the
// top-right of its cell), its cell size and whether it is drawn turned in
// the vertical face.
struct GlyphPlace {
  int index = 0;  // 1-based
  float x = 0.0f;
  float y = 0.0f;
  float size = 0.0f;
  bool turned = false;
};

// Characters of a message, one string each.
[[nodiscard]] std::vector<std::wstring> SplitCharacters(std::wstring_view text);

// Usable width and height are 95 % of the form's.
[[nodiscard]] float CentredSize(float usableWidth, float usableHeight, int count);
[[nodiscard]] LSizes StoredFoldSizes(LShape shape, float usableWidth, float usableHeight, int count, int fold,
                                     char foldKind);
[[nodiscard]] LSizes AutomaticFoldSizes(LShape shape, float usableWidth, float usableHeight,
                                        const std::vector<std::wstring>& chars);
// The stored fold when it lies within the message, else the automatic one.
[[nodiscard]] LSizes LSizesFor(LShape shape, float usableWidth, float usableHeight,
                               const std::vector<std::wstring>& chars, const CurrentFormat& format);

[[nodiscard]] std::vector<GlyphPlace> PlaceL(LShape shape, const std::vector<std::wstring>& chars, const LSizes& sizes,
                                             float scaleWidth, float scaleHeight);
[[nodiscard]] std::vector<GlyphPlace> PlaceCentred(int count, float size, float scaleWidth, float scaleHeight);

// The 1-based character to emphasise at random, from the larger part of an
// L with a stored fold: kanji first, then katakana, symbols, full-width
// digits and letters, then hiragana; -1 for none or in marked mode "R".
[[nodiscard]] std::int16_t PickRandomEmphasis(std::wstring_view text, std::int16_t foldPosition, char foldKind,
                                              char emphasisMode, RandomSource& random);

// Each draws one page of request.text; invertColours is settled by the
// frame and passed back.
[[nodiscard]] PageResult ComposeLBottomLeft(CardContext& context, const CardRequest& request, bool& invertColours);
[[nodiscard]] PageResult ComposeLTopRight(CardContext& context, const CardRequest& request, bool& invertColours);
[[nodiscard]] PageResult ComposeCentred(CardContext& context, const CardRequest& request, bool& invertColours);

}  // namespace zor

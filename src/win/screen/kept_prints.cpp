#include "win/screen/kept_prints.h"

#include <algorithm>
#include <cstring>

#include "core/screen/changed_rects.h"

namespace zor::win {

std::optional<KeptPrint> KeepFromImage(const ImagePixels& image, const PixelRect& box, Rgb groundColour, int refX,
                                       int refY) {
  // The pixels from the first to the last unlike the ground in each row,
  // and the box that holds them; a print without any keeps the whole box,
  // where it would change nothing.
  const PixelRect area = Intersection(box, image.Bounds());
  if (IsEmpty(area)) return std::nullopt;
  const int x0 = area.left, x1 = area.right, y0 = area.top, y1 = area.bottom;
  const std::uint32_t ground = PackRgb(groundColour);
  KeptPrint kept;
  int inkTop = y1, inkBottom = -1, inkLeft = x1, inkRight = -1;
  for (int row = y0; row < y1; ++row) {
    const std::uint32_t* line = image.Row(row);
    int col = x0;
    while (col < x1 && ((line[col] ^ ground) & 0xFFFFFF) == 0) ++col;
    if (col == x1) continue;
    int end = x1;
    while (((line[end - 1] ^ ground) & 0xFFFFFF) == 0) --end;
    // One run a row, ground between the ink included: it is copied only
    // where the whole box is still plain ground.
    kept.runs.push_back(KeptPrint::Run{row, col, end - col, kept.pixels.size()});
    kept.pixels.insert(kept.pixels.end(), line + col, line + end);
    inkTop = std::min(inkTop, row);
    inkBottom = row;
    inkLeft = std::min(inkLeft, col);
    inkRight = std::max(inkRight, end - 1);
  }
  if (inkBottom < 0) {
    kept.left = x0 - refX;
    kept.top = y0 - refY;
    kept.w = x1 - x0;
    kept.h = y1 - y0;
  } else {
    kept.left = inkLeft - refX;
    kept.top = inkTop - refY;
    kept.w = inkRight - inkLeft + 1;
    kept.h = inkBottom - inkTop + 1;
    for (KeptPrint::Run& run : kept.runs) {
      run.row -= inkTop;
      run.col -= inkLeft;
    }
  }
  kept.runs.shrink_to_fit();
  kept.pixels.shrink_to_fit();
  return kept;
}

PixelRect CopyKeptPrint(const KeptPrint& kept, int refX, int refY, const ImagePixels& image) {
  if (kept.runs.empty()) return {};
  const int left = refX + kept.left;
  const int top = refY + kept.top;
  for (const KeptPrint::Run& run : kept.runs) {
    const int y = top + run.row;
    if (y < 0 || y >= image.height) continue;
    const int from = std::max(left + run.col, 0);
    const int to = std::min(left + run.col + run.length, image.width);  // one past
    if (from >= to) continue;
    std::memcpy(image.Row(y) + from, kept.pixels.data() + run.first + static_cast<std::size_t>(from - left - run.col),
                static_cast<std::size_t>(to - from) * sizeof(std::uint32_t));
  }
  return kept.BoxAt(refX, refY);
}

const KeptPrint* KeptPrints::Find(const Place& place) const {
  const auto known = kept_.find(LookUp(place));
  return known != kept_.end() ? &known->second : nullptr;
}

void KeptPrints::Keep(const Place& place, KeptPrint&& kept) {
  kept_.insert_or_assign(Key{place.font, place.type, place.ground, place.x, place.y, std::wstring(place.text)},
                         std::move(kept));
}

}  // namespace zor::win

// Rectangles of an image that changed, in whole pixels: clipped to the
// image, and kept few so that showing or refilling them stays cheap.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "core/screen/pixel_rect.h"

namespace zor {

[[nodiscard]] bool IsEmpty(const PixelRect& r) noexcept;
// The part of r inside the box; empty when they do not meet.
[[nodiscard]] PixelRect Intersection(const PixelRect& r, const PixelRect& box) noexcept;
[[nodiscard]] bool Overlap(const PixelRect& a, const PixelRect& b) noexcept;
[[nodiscard]] bool Contains(const PixelRect& outer, const PixelRect& inner) noexcept;
// The smallest rectangle holding both (either may be empty).
[[nodiscard]] PixelRect Union(const PixelRect& a, const PixelRect& b) noexcept;
[[nodiscard]] long long Area(const PixelRect& r) noexcept;

class ChangedRects {
 public:
  enum class Joining {
    kAppend,  // every rectangle kept as given
    // A rectangle inside one already kept adds nothing; one that overlaps
    // or nearly adjoins a kept one is merged with it where the union wastes
    // little (a run of glyphs becomes one band).
    kMerge,
  };
  // Rectangles are clipped to width × height; past cap they become their union.
  ChangedRects(int width, int height, std::size_t cap, Joining joining)
      : bounds_{0, 0, width, height}, cap_(cap), joining_(joining) {}

  // Adds r clipped to the image; returns the clipped rectangle (empty: nothing added).
  PixelRect Add(const PixelRect& r);
  // The whole image.
  [[nodiscard]] PixelRect All() const noexcept { return bounds_; }
  [[nodiscard]] bool CoversAll() const noexcept { return rects_.size() == 1 && rects_[0] == bounds_; }
  [[nodiscard]] bool Meets(const PixelRect& r) const noexcept;

  [[nodiscard]] std::span<const PixelRect> Rects() const noexcept { return rects_; }
  [[nodiscard]] bool empty() const noexcept { return rects_.empty(); }
  [[nodiscard]] std::size_t size() const noexcept { return rects_.size(); }
  void clear() noexcept { rects_.clear(); }

 private:
  void Merge(PixelRect r);
  PixelRect bounds_;
  std::size_t cap_;
  Joining joining_;
  std::vector<PixelRect> rects_;
};

}  // namespace zor

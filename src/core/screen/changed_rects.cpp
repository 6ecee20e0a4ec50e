#include "core/screen/changed_rects.h"

#include <algorithm>

namespace zor {

bool IsEmpty(const PixelRect& r) noexcept { return r.left >= r.right || r.top >= r.bottom; }

PixelRect Intersection(const PixelRect& r, const PixelRect& box) noexcept {
  const PixelRect part{std::max(r.left, box.left), std::max(r.top, box.top), std::min(r.right, box.right),
                       std::min(r.bottom, box.bottom)};
  return IsEmpty(part) ? PixelRect{} : part;
}

bool Overlap(const PixelRect& a, const PixelRect& b) noexcept { return !IsEmpty(Intersection(a, b)); }

bool Contains(const PixelRect& outer, const PixelRect& inner) noexcept {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

PixelRect Union(const PixelRect& a, const PixelRect& b) noexcept {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

long long Area(const PixelRect& r) noexcept {
  return IsEmpty(r) ? 0LL : static_cast<long long>(r.width()) * static_cast<long long>(r.height());
}

PixelRect ChangedRects::Add(const PixelRect& given) {
  const PixelRect r = Intersection(given, bounds_);
  if (IsEmpty(r)) return {};
  if (joining_ == Joining::kMerge) {
    Merge(r);
  } else {
    rects_.push_back(r);
  }
  if (rects_.size() > cap_) {
    PixelRect all{};
    for (const PixelRect& c : rects_) all = Union(all, c);
    rects_.assign(1, all);
  }
  return r;
}

void ChangedRects::Merge(PixelRect r) {
  // Drawing again over what is already noted (tiles, copies) adds nothing.
  for (const PixelRect& c : rects_) {
    if (Contains(c, r)) return;
  }
  // Merged where the union is at most a quarter larger than the two alone;
  // merging may make a rectangle meet others, so it goes round again.
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
      const PixelRect& c = rects_[i];
      const long long shared = Area(Intersection(r, c));
      const long long own = Area(r);
      if (Area(Union(r, c)) * 4 <= (own + Area(c) - shared) * 5 || shared == own) {
        r = Union(r, c);
        rects_[i] = rects_.back();
        rects_.pop_back();
        merged = true;
        break;
      }
    }
  }
  rects_.push_back(r);
}

bool ChangedRects::Meets(const PixelRect& r) const noexcept {
  return std::any_of(rects_.begin(), rects_.end(), [&](const PixelRect& c) { return Overlap(c, r); });
}

}  // namespace zor

// The fonts a surface prints and measures with, each known by an id that
// stays with its description: what is kept per font (measures, kept prints,
// glyph stamps) is keyed on the id, and stays right when handles are let go.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/screen/surface.h"
#include "win/common/handles.h"

namespace zor::win {

// Never 0 for a font; an id is never given to another description.
using FontId = std::uint32_t;

struct CachedFont {
  FontId id = 0;
  HFONT handle = nullptr;  // valid until the cache lets its fonts go
};

class FontCache {
 public:
  // The font of the description with an em of the given pixels, made when
  // first asked for. Past a number of fonts all handles are let go first
  // (sizes change from message to message: a saver that runs for hours
  // would otherwise keep a font for every size it ever drew); the DCs that
  // use the cache's fonts get the system font back before.
  [[nodiscard]] CachedFont Get(HDC dc, const FontSpec& font, int pixels);
  // The name the system lists the face under; null when it is not installed.
  [[nodiscard]] const std::wstring* Listed(HDC dc, std::wstring_view face);
  // A DC fonts of the cache may be left selected into.
  void UsedBy(HDC dc);
  // Changes whenever handles are let go: a handle got before is gone.
  [[nodiscard]] std::uint32_t Generation() const noexcept { return generation_; }

 private:
  using Key = std::tuple<std::wstring, int, bool, bool, int>;
  static constexpr std::size_t kMaxFonts = 48;
  static constexpr std::size_t kMaxIds = 4096;
  [[nodiscard]] FontId IdOf(const Key& key);
  std::map<Key, CachedFont> fonts_;
  std::vector<UniqueFont> handles_;
  // Ids outlive the handles; past kMaxIds they are given anew (never reused).
  std::map<Key, FontId> ids_;
  FontId lastId_ = 0;
  std::uint32_t generation_ = 0;
  std::vector<HDC> users_;
  // Each face asked for, with the name the system lists it under (none: not installed).
  std::map<std::wstring, std::optional<std::wstring>, std::less<>> faces_;
};

}  // namespace zor::win

#include "win/screen/font_cache.h"

#include <algorithm>

#include "win/common/faces.h"

namespace zor::win {

const std::wstring* FontCache::Listed(HDC dc, std::wstring_view face) {
  auto cached = faces_.find(face);
  if (cached == faces_.end()) cached = faces_.emplace(std::wstring(face), ListedFace(dc, face)).first;
  return cached->second ? &*cached->second : nullptr;
}

void FontCache::UsedBy(HDC dc) {
  if (dc && std::find(users_.begin(), users_.end(), dc) == users_.end()) users_.push_back(dc);
}

FontId FontCache::IdOf(const Key& key) {
  if (const auto known = ids_.find(key); known != ids_.end()) return known->second;
  if (ids_.size() >= kMaxIds) ids_.clear();
  ids_.emplace(key, ++lastId_);
  return lastId_;
}

CachedFont FontCache::Get(HDC dc, const FontSpec& font, int pixels) {
  Key key = std::make_tuple(font.face, pixels, font.bold, font.italic, font.escapement);
  if (const auto known = fonts_.find(key); known != fonts_.end()) return known->second;
  if (fonts_.size() >= kMaxFonts) {
    // None of the fonts may stay selected when they go.
    for (HDC user : users_) SelectObject(user, GetStockObject(SYSTEM_FONT));
    fonts_.clear();
    handles_.clear();
    ++generation_;
  }
  LOGFONTW lf{};
  lf.lfHeight = -pixels;  // character height: the em is the font size
  lf.lfEscapement = font.escapement;
  lf.lfOrientation = font.escapement;
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  // A face the system lists under another of its names is asked for by that name.
  const std::wstring* listed = Listed(dc, font.face);
  const std::wstring_view face = listed ? std::wstring_view(*listed) : std::wstring_view(font.face);
  face.copy(lf.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  UniqueFont created(CreateFontIndirectW(&lf));
  const CachedFont made{IdOf(key), created.get()};
  handles_.push_back(std::move(created));
  fonts_.emplace(std::move(key), made);
  return made;
}

}  // namespace zor::win

#include "win/common/faces.h"

#include <cstdint>
#include <utility>

#include "core/text/font_names.h"
#include "win/common/handles.h"

namespace zor::win {

namespace {

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
  reinterpret_cast<std::vector<std::wstring>*>(names)->emplace_back(font->lfFaceName);
  return 1;
}

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FamilyListed(HDC dc, std::wstring_view face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, face.size());
  bool found = false;
  EnumFontFamiliesExW(dc, &query, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// Each listed family (vertical "@" families left out) with the family names
// its font carries, read once: the system's fonts do not change under a
// running saver, and reading every font's name table takes a moment.
const std::vector<std::pair<std::wstring, std::vector<std::wstring>>>& FamiliesWithNames() {
  static const auto families = [] {
    std::vector<std::pair<std::wstring, std::vector<std::wstring>>> out;
    std::vector<std::wstring> listed = SystemFaceNames();
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc.get()) return out;
    constexpr DWORD kNameTable = 0x656D616E;  // "name", as GetFontData spells a tag
    for (const std::wstring& face : listed) {
      if (face.empty() || face.front() == L'@' || face.size() >= LF_FACESIZE) continue;
      bool seen = false;
      for (const auto& family : out) seen = seen || family.first == face;
      if (seen) continue;
      LOGFONTW lf{};
      lf.lfHeight = -16;
      lf.lfCharSet = DEFAULT_CHARSET;
      face.copy(lf.lfFaceName, face.size());
      UniqueFont font(CreateFontIndirectW(&lf));
      if (!font.get()) continue;
      const HGDIOBJ old = SelectObject(dc.get(), font.get());
      const DWORD size = GetFontData(dc.get(), kNameTable, 0, nullptr, 0);
      std::vector<std::uint8_t> table;
      if (size != GDI_ERROR && size > 0 && size < (1u << 20)) {
        table.resize(size);
        if (GetFontData(dc.get(), kNameTable, 0, table.data(), size) != size) table.clear();
      }
      SelectObject(dc.get(), old);
      out.emplace_back(face, FontFamilyNames(table));
    }
    return out;
  }();
  return families;
}

}  // namespace

std::optional<std::wstring> FamilyCarryingName(std::wstring_view name) {
  for (const auto& [listed, names] : FamiliesWithNames()) {
    for (const std::wstring& carried : names) {
      if (SameFaceName(carried, name)) return listed;
    }
  }
  return std::nullopt;
}

std::vector<std::wstring> SystemFaceNames() {
  std::vector<std::wstring> names;
  WindowDc screen(nullptr);
  if (!screen.get()) return names;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(screen.get(), &query, &CollectFace, reinterpret_cast<LPARAM>(&names), 0);
  return names;
}

bool FaceInstalled(HDC dc, std::wstring_view face) {
  if (FamilyListed(dc, face)) return true;
  return face.size() > 1 && face.front() == L'@' && FamilyListed(dc, face.substr(1));
}

bool FaceInstalled(std::wstring_view face) {
  WindowDc screen(nullptr);
  return screen.get() != nullptr && ListedFace(screen.get(), face).has_value();
}

std::optional<std::wstring> ListedFace(HDC dc, std::wstring_view face) {
  if (FaceInstalled(dc, face)) return std::wstring(face);
  if (face.empty() || face.size() >= LF_FACESIZE) return std::nullopt;
  const bool vertical = face.front() == L'@';
  auto listed = FamilyCarryingName(vertical ? face.substr(1) : face);
  if (listed && vertical) listed->insert(0, 1, L'@');
  return listed;
}

}  // namespace zor::win

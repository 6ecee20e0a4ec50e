#include "win/common/faces.h"

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

}  // namespace

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
  return screen.get() != nullptr && FaceInstalled(screen.get(), face);
}

}  // namespace zor::win

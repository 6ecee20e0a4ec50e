#include "win/common/installed_faces.h"

#include <windows.h>

#include "win/common/handles.h"

namespace zor::win {

namespace {

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
  reinterpret_cast<std::vector<std::wstring>*>(names)->emplace_back(font->lfFaceName);
  return 1;
}

std::vector<std::wstring> Enumerate(std::wstring_view face) {
  std::vector<std::wstring> names;
  if (face.size() >= LF_FACESIZE) return names;
  WindowDc screen(nullptr);
  if (!screen.get()) return names;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, face.size());
  EnumFontFamiliesExW(screen.get(), &query, &CollectFace, reinterpret_cast<LPARAM>(&names), 0);
  return names;
}

}  // namespace

std::vector<std::wstring> SystemFaceNames() { return Enumerate({}); }

bool FaceInstalled(std::wstring_view face) { return !face.empty() && !Enumerate(face).empty(); }

}  // namespace zor::win

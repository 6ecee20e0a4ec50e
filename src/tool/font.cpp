#include "tool/font.h"

#include "core/data/file_system.h"
#include "core/data/settings_schema.h"

#ifdef _WIN32
#include "core/data/settings_file.h"
#include "win/common/faces.h"
#endif

namespace zor::tool {

bool UsableFaceName(std::wstring_view face) { return StorableFaceName(face); }

Result<FaceChoice> ChooseFace(ProfileStore& store, const std::vector<std::wstring>& candidates,
                              const FaceQuery& installed) {
  if (StoredText(store, SettingKey::kUseFont)) {
    // The saver's reading of the value: cut and trimmed.
    const std::wstring face = LoadSettings(store, {}).typeFace;
    if (!face.empty()) return FaceChoice{face, false};
  }
  const std::wstring standard(kDefaultFace);
  if (installed(standard)) return FaceChoice{standard, false};
  for (const std::wstring& face : candidates) {
    if (!installed(face)) continue;
    Status s = SaveSetting(store, SettingKey::kUseFont, face);
    if (!s.ok()) return s;
    return FaceChoice{face, true};
  }
  std::wstring names;
  for (const std::wstring& face : candidates) names += (names.empty() ? L"" : L", ") + face;
  return Status::Fail(FileError::kRefused, L"neither " + standard + L" nor any of these faces is installed: " + names);
}

int FontCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  std::wstring bad;
  if (!inv.error.empty()) return cmd.Usage(inv.error);
  if (!Command::CheckFlags(inv, {}, bad)) return cmd.Usage(L"unknown option for font: " + bad);
  if (inv.positional.size() < 2) return cmd.Usage(L"font takes SETTINGS and at least one FACE");
  const std::vector<std::wstring> faces(inv.positional.begin() + 1, inv.positional.end());
  for (const std::wstring& face : faces) {
    if (!UsableFaceName(face)) return cmd.Usage(L"not a face name the settings file can hold: \"" + face + L"\"");
  }
#ifdef _WIN32
  // A bare file name is taken from the current folder.
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(PathFromText(inv.positional[0]), ec);
  if (ec) return cmd.Refuse(L"not a usable path: " + inv.positional[0]);
  SettingsFileStore store(file);
  const Result<FaceChoice> chosen =
      ChooseFace(store, faces, [](std::wstring_view face) { return win::FaceInstalled(face); });
  if (!chosen.ok()) return cmd.Refuse(chosen.status().message());
  return cmd.Print(chosen.value().face);
#else
  // The font list is the system's: only zortool.exe asks it.
  return cmd.Refuse(L"font asks the Windows font list: use zortool.exe (under Wine on Linux)");
#endif
}

}  // namespace zor::tool

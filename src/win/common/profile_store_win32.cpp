#include "win/common/profile_store_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/data/file_system.h"
#include "core/text/cp932.h"

namespace zor::win {

namespace {

// The profile API's file name is in the system code page. A path that code
// page cannot hold is tried by its short (8.3) name, which is ASCII.
bool AnsiPath(const std::filesystem::path& path, std::string& out) {
  const auto convert = [&](const std::wstring& wide) {
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, bytes.data(), n, nullptr, &usedDefault) !=
            n || usedDefault) {
      return false;
    }
    bytes.resize(static_cast<std::size_t>(n - 1));
    out = std::move(bytes);
    return true;
  };
  if (convert(path.wstring())) return true;
  std::vector<wchar_t> shortName(32768);
  const DWORD n = GetShortPathNameW(path.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
  return n > 0 && n < shortName.size() && convert(std::wstring(shortName.data(), n));
}

}  // namespace

std::optional<std::wstring> Win32ProfileStore::Read(std::wstring_view section, std::wstring_view key) const {
  std::string file;
  if (!AnsiPath(file_, file)) return std::nullopt;
  const std::string sectionBytes = ToCp932(section);
  const std::string keyBytes = ToCp932(key);
  // A default no real value has tells a missing key from an empty one.
  static constexpr char kAbsent[] = "\x01\x02";
  std::vector<char> buffer(512);
  for (;;) {
    const DWORD n = GetPrivateProfileStringA(sectionBytes.c_str(), keyBytes.c_str(), kAbsent, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    // n == size - 1 means the value may have been cut: read again with more
    // room, up to the longest value the settings rules let be stored.
    if (n + 1 < buffer.size() || buffer.size() > kSettingsValueMaxBytes) {
      const std::string value(buffer.data(), n);
      if (value == kAbsent) return std::nullopt;
      return FromCp932(value);
    }
    buffer.resize(std::min(buffer.size() * 2, kSettingsValueMaxBytes + 1));
  }
}

Status Win32ProfileStore::Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  std::string file;
  const auto failed = [&] {
    return Status::Fail(FileError::kWrite, PathText(file_) + L" に書き込めませんでした。");
  };
  if (!AnsiPath(file_, file)) return failed();
  // The profile API ends a value at a line break; it would come back as a different value.
  if (value.find_first_of(L"\r\n") != std::wstring_view::npos) return failed();
  const std::string bytes = ToCp932(value);
  if (WritePrivateProfileStringA(ToCp932(section).c_str(), ToCp932(key).c_str(), bytes.c_str(), file.c_str()) == 0) {
    return failed();
  }
  return Status::Ok();
}

}  // namespace zor::win

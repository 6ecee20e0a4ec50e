// libFuzzer target: the settings file's reader and writer on arbitrary bytes.
// A written value reads back as written, and no other key's value changes.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/data/settings_file.h"

namespace {

constexpr std::wstring_view kKeys[] = {L"UseFont", L"KanS", L"LoadFileName", L"BgBMPDir"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zor::SettingsText text(bytes);
  std::optional<std::wstring> before[std::size(kKeys)];
  for (std::size_t i = 0; i < std::size(kKeys); ++i) before[i] = text.Read(zor::kSettingsSection, kKeys[i]);
  if (!text.Write(zor::kSettingsSection, L"KanS", L"-1")) __builtin_trap();
  const zor::SettingsText again(text.Bytes());
  for (std::size_t i = 0; i < std::size(kKeys); ++i) {
    const auto now = again.Read(zor::kSettingsSection, kKeys[i]);
    if (kKeys[i] == L"KanS" ? now != L"-1" : now != before[i]) __builtin_trap();
  }
  return 0;
}

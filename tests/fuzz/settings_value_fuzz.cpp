// libFuzzer target: the settings-value parser on arbitrary text.
#include <cstdint>
#include <string>

#include "core/data/settings.h"
#include "core/text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = zor::FromCp932(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::int16_t v = zor::ParseProfileInt(text, 7);
  if (text.empty() && v != 7) __builtin_trap();
  zor::MemoryProfileStore store;
  (void)store.Write(zor::kSettingsSection, L"UseFont", text);
  (void)store.Write(zor::kSettingsSection, L"DecoFont", text);
  const zor::Settings s = zor::LoadSettings(store, "p/");
  if (s.typeFace.size() > 128) __builtin_trap();
  return 0;
}

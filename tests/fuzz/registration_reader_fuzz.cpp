// libFuzzer target: the registration-file parsers on arbitrary bytes, as the
// file readers give them the first bytes of a file.
#include <cstdint>
#include <span>
#include <string>

#include "core/data/registration_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  const zor::Result<zor::RegistrationHeader> header = zor::ParseRegistrationHeader(bytes, L"f.zrd");
  const zor::Result<zor::RegistrationHeader> opened =
      zor::ParseRegistrationHeader(bytes, L"f.zrd", zor::OpenedBy::kOpenCommand);
  if (header.ok() != opened.ok() || header.status().error() != opened.status().error()) __builtin_trap();
  if (header.ok() && header.value().Encode() != std::string(bytes.data(), zor::kHeaderSize)) __builtin_trap();

  const auto texts = zor::ParseMessages(bytes, L"f.zrd");
  if (texts.ok() != header.ok()) __builtin_trap();
  if (!texts.ok()) return 0;
  const int count = header.value().MessageCount();
  if (texts.value().size() != static_cast<std::size_t>(count)) __builtin_trap();
  for (const std::wstring& t : texts.value()) {
    if (!t.empty() && (t.front() == L' ' || t.back() == L' ')) __builtin_trap();
  }
  // The one-record reader agrees with the list, and refuses numbers outside the count.
  for (const int n : {0, 1, 2, count, count + 1, 500}) {
    const zor::Result<zor::Message> m = zor::ParseMessage(bytes, n, L"f.zrd");
    if (m.ok() != (n >= 1 && n <= count)) __builtin_trap();
    if (m.ok() && m.value().text != texts.value()[static_cast<std::size_t>(n - 1)]) __builtin_trap();
  }
  return 0;
}

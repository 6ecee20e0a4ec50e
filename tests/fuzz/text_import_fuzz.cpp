// libFuzzer target: the line reader of the text import on arbitrary bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/data/text_exchange.h"
#include "core/text/measures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (int limit : {100, 500}) {
    std::size_t at = 0;
    const zor::ImportedLines r = zor::ReadImportLines(
        [&](char* buffer, std::size_t room) {
          // Small, uneven pieces cross every line and character boundary.
          const std::size_t n = std::min({room, size - at, std::size_t{1} + at % 13});
          std::memcpy(buffer, data + at, n);
          at += n;
          return n;
        },
        limit);
    if (r.texts.size() > static_cast<std::size_t>(limit)) __builtin_trap();
    for (const std::wstring& t : r.texts) {
      if (!zor::AcceptableMessage(t) || t.front() == L' ' || t.back() == L' ') __builtin_trap();
    }
  }
  return 0;
}

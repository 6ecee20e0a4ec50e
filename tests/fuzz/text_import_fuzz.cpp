// libFuzzer target: the line splitter of the text import on arbitrary bytes,
// whole and in small, uneven pieces that cross every line and character boundary.
#include <algorithm>
#include <cstdint>
#include <span>

#include "core/data/text_exchange.h"
#include "core/text/measures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  const zor::ImportedLines whole = zor::SplitImportLines(bytes, 500);
  if (whole.texts.size() > 500) __builtin_trap();
  for (const std::wstring& t : whole.texts) {
    if (!zor::AcceptableMessage(t) || t.front() == L' ' || t.back() == L' ') __builtin_trap();
  }

  // The same bytes in pieces, limited to 100 lines: the first 100 of the same lines.
  zor::ImportLineSplitter splitter(100);
  for (std::size_t at = 0; at < size && !splitter.full();) {
    const std::size_t n = std::min(size - at, std::size_t{1} + at % 13);
    splitter.Feed(bytes.subspan(at, n));
    at += n;
  }
  const zor::ImportedLines pieces = splitter.Finish();
  const std::size_t kept = std::min<std::size_t>(whole.texts.size(), 100);
  if (pieces.texts.size() != kept || !std::equal(pieces.texts.begin(), pieces.texts.end(), whole.texts.begin())) {
    __builtin_trap();
  }
  // Below the limit both read every line, so both skip the same ones.
  if (whole.texts.size() < 100 && pieces.skipped != whole.skipped) __builtin_trap();
  return 0;
}

// libFuzzer target: the text import on arbitrary bytes, in every encoding
// choice, whole and in small, uneven pieces that cross every line, mark and
// character boundary.
#include <algorithm>
#include <cstdint>
#include <span>

#include "core/data/text_exchange.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"

namespace {

zor::ImportedLines ReadInPieces(std::span<const char> bytes, int maxLines, zor::EncodingChoice choice,
                                std::size_t seed) {
  zor::TextImportReader reader(maxLines, choice);
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t n = std::min(bytes.size() - at, std::size_t{1} + (at + seed) % 13);
    reader.Feed(bytes.subspan(at, n));
    at += n;
  }
  return reader.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  const zor::ImportedLines split = zor::SplitImportLines(bytes, 500);
  if (split.texts.size() > 500) __builtin_trap();

  for (const zor::EncodingChoice choice : {zor::EncodingChoice::kAuto, zor::EncodingChoice::kCp932,
                                           zor::EncodingChoice::kUtf8, zor::EncodingChoice::kUtf16}) {
    zor::TextImportReader reader(500, choice);
    reader.Feed(bytes);
    const zor::ImportedLines whole = reader.Finish();
    if (whole.texts.size() > 500) __builtin_trap();
    for (const std::wstring& t : whole.texts) {
      if (!zor::AcceptableMessage(t) || !zor::FitsCp932(t) || t.front() == L' ' || t.back() == L' ') __builtin_trap();
    }
    // Read as CP932 by choice, the lines are those of the plain splitter.
    if (choice == zor::EncodingChoice::kCp932 && (whole.texts != split.texts || !(whole.skipped == split.skipped))) {
      __builtin_trap();
    }

    // The same bytes in pieces, limited to 100 lines: the first 100 of the
    // same lines, the same encoding, and every line counted the same. (A
    // forced Unicode choice decodes as the guess and the marks do.)
    if (choice == zor::EncodingChoice::kUtf8 || choice == zor::EncodingChoice::kUtf16) continue;
    const zor::ImportedLines pieces = ReadInPieces(bytes, 100, choice, size);
    const std::size_t kept = std::min<std::size_t>(whole.texts.size(), 100);
    if (pieces.texts.size() != kept || !std::equal(pieces.texts.begin(), pieces.texts.end(), whole.texts.begin())) {
      __builtin_trap();
    }
    if (pieces.encoding != whole.encoding || pieces.skipped.Total() + static_cast<int>(pieces.texts.size()) !=
                                                 whole.skipped.Total() + static_cast<int>(whole.texts.size())) {
      __builtin_trap();
    }
  }

  // The file import's first pass: a file it calls UTF-8 reads as the guess
  // reads it; any other is never guessed UTF-8.
  zor::Utf8Check check;
  check.Feed(bytes);
  zor::TextImportReader guessed(500, zor::EncodingChoice::kAuto);
  guessed.Feed(bytes);
  const zor::ImportedLines byGuess = guessed.Finish();
  if (check.IsUtf8BeyondAscii()) {
    zor::TextImportReader forced(500, zor::EncodingChoice::kUtf8);
    forced.Feed(bytes);
    const zor::ImportedLines byCheck = forced.Finish();
    if (byCheck.texts != byGuess.texts || !(byCheck.skipped == byGuess.skipped)) __builtin_trap();
    if (byGuess.encoding != zor::TextEncoding::kUtf8 && byGuess.encoding != zor::TextEncoding::kUtf8WithMark) {
      __builtin_trap();
    }
  } else if (byGuess.encoding == zor::TextEncoding::kUtf8) {
    __builtin_trap();
  }
  return 0;
}

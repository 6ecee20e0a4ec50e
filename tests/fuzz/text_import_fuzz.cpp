// libFuzzer target: the text import on arbitrary bytes, in every encoding
// choice, whole and in small, uneven pieces that cross every line, mark,
// character and escape boundary; the file import's two passes (the guess,
// then one reading) against the one-pass guess.
#include <algorithm>
#include <cstdint>
#include <span>

#include "core/data/text_exchange.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/unicode_to_cp932.h"

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

zor::ImportedLines ReadWhole(std::span<const char> bytes, zor::EncodingChoice choice,
                             zor::TextImportReader::Lines lines = zor::TextImportReader::Lines::kKept) {
  zor::TextImportReader reader(500, choice, lines);
  reader.Feed(bytes);
  return reader.Finish();
}

bool Same(const zor::ImportedLines& a, const zor::ImportedLines& b) {
  return a.texts == b.texts && a.skipped == b.skipped && a.encoding == b.encoding && a.tabs == b.tabs &&
         a.unreadable == b.unreadable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  const zor::ImportedLines split = zor::SplitImportLines(bytes, 500);
  if (split.texts.size() > 500) __builtin_trap();

  using zor::EncodingChoice;
  for (const EncodingChoice choice :
       {EncodingChoice::kAuto, EncodingChoice::kCp932, EncodingChoice::kUtf8, EncodingChoice::kUtf16,
        EncodingChoice::kEucJp, EncodingChoice::kIso2022Jp, EncodingChoice::kUtf16Le, EncodingChoice::kUtf16Be}) {
    const zor::ImportedLines whole = ReadWhole(bytes, choice);
    if (whole.texts.size() > 500) __builtin_trap();
    if (whole.unreadable && (choice != EncodingChoice::kAuto || !whole.texts.empty())) __builtin_trap();
    for (const std::wstring& t : whole.texts) {
      if (!zor::AcceptableMessage(t) || !zor::FitsCp932(t) || t.front() == L' ' || t.back() == L' ') __builtin_trap();
      // No control character is ever stored.
      if (std::any_of(t.begin(), t.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; })) __builtin_trap();
    }
    // Read as CP932 by choice, the lines are those of the plain splitter.
    if (choice == EncodingChoice::kCp932 && (whole.texts != split.texts || !(whole.skipped == split.skipped))) {
      __builtin_trap();
    }

    // The same bytes in pieces, limited to 100 lines: the first 100 of the
    // same lines, the same encoding, and every line counted the same.
    const zor::ImportedLines pieces = ReadInPieces(bytes, 100, choice, size);
    const std::size_t kept = std::min<std::size_t>(whole.texts.size(), 100);
    if (pieces.texts.size() != kept || !std::equal(pieces.texts.begin(), pieces.texts.end(), whole.texts.begin())) {
      __builtin_trap();
    }
    if (pieces.encoding != whole.encoding || pieces.unreadable != whole.unreadable ||
        pieces.skipped.Total() + static_cast<int>(pieces.texts.size()) !=
            whole.skipped.Total() + static_cast<int>(whole.texts.size())) {
      __builtin_trap();
    }

    // The file import: a first pass that only finds the encoding, then one
    // reading forced to it, gives what the one-pass reader gives.
    if (choice == EncodingChoice::kAuto || choice == EncodingChoice::kUtf16) {
      const zor::ImportedLines found = ReadWhole(bytes, choice, zor::TextImportReader::Lines::kNone);
      if (found.encoding != whole.encoding || found.unreadable != whole.unreadable) __builtin_trap();
      if (!found.unreadable && !Same(ReadWhole(bytes, zor::ChoiceReading(found.encoding)), whole)) __builtin_trap();
    }
  }

  // Well-formed UTF-8 beyond ASCII is guessed UTF-8 (with its mark or
  // without); nothing else is guessed UTF-8 without a mark.
  zor::Utf8Check check;
  check.Feed(bytes);
  const zor::TextEncoding guessed = ReadWhole(bytes, EncodingChoice::kAuto).encoding;
  if (check.IsUtf8BeyondAscii() != (guessed == zor::TextEncoding::kUtf8) &&
      !(check.IsUtf8BeyondAscii() && guessed == zor::TextEncoding::kUtf8WithMark)) {
    __builtin_trap();
  }
  return 0;
}

#include "core/data/text_import_guess.h"

#include <algorithm>
#include <tuple>

#include "core/text/cp932.h"
#include "core/text/unicode_to_cp932.h"

namespace zor {

namespace {

// Below this weight per character a reading is taken for mojibake: Japanese
// text scores near 1 (kana and common kanji), a file of half-width katakana
// 0.5, Latin-1 or EUC-JP read as Shift_JIS about 0.25 to 0.4.
constexpr double kPlausible = 0.45;

bool IsUndefinedSingle(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }

}  // namespace

void ReadingCheck::Feed(std::string_view cp932) {
  for (const char c : cp932) {
    const auto b = static_cast<unsigned char>(c);
    if (lead_ >= 0) {
      const auto lead = static_cast<unsigned char>(lead_);
      lead_ = -1;
      if (IsCp932TrailByte(b)) {
        Character(lead, b);
        continue;
      }
      bad_ = true;  // a lead byte without its trail; the byte is read again
    }
    if (b == '\n') {
      EndLine();
    } else if (b < 0x20 || b == 0x7F) {
      if (b != '\t' && b != '\r') bad_ = true;
    } else if (b < 0x80) {
      text_ = text_ || b != ' ';
    } else if (IsCp932LeadByte(b)) {
      lead_ = b;
    } else if (markers_ && b >= 0xFD) {
      text_ = true;
      ++beyondAscii;
      if (c == kMalformedByte) bad_ = true;
      if (c == kJisX0212Byte) weight += 0.25;  // rare kanji; CP932 cannot hold them
    } else if (IsUndefinedSingle(b)) {
      text_ = true;
      bad_ = true;
    } else {  // half-width katakana
      text_ = true;
      ++beyondAscii;
      weight += 0.5;
    }
  }
}

void ReadingCheck::Finish() {
  if (lead_ >= 0) bad_ = true;
  lead_ = -1;
  EndLine();
}

void ReadingCheck::EndLine() {
  if (text_ || bad_) ++lines;
  if (bad_) ++badLines;
  text_ = false;
  bad_ = false;
}

// The weight of a double-byte character by its JIS X 0208 row (Shift_JIS
// lead and trail give the row by the same arithmetic as the converters).
void ReadingCheck::Character(unsigned char lead, unsigned char trail) {
  text_ = true;
  ++beyondAscii;
  if (!Cp932PairAssigned(lead, trail)) {
    bad_ = true;
    return;
  }
  if (lead >= 0xF0) return;  // user-defined area and IBM extensions: 0
  const int row = (lead <= 0x9F ? lead - 0x81 : lead - 0xC1) * 2 + 1 + (trail >= 0x9F ? 1 : 0);
  if (row == 1 || row == 4 || row == 5) {
    ++kana;
    weight += 1.0;
  } else if (row <= 15) {
    weight += 0.5;  // symbols, full-width Latin, Greek, Cyrillic, box drawing, NEC specials
  } else if (row <= 47) {
    weight += 0.75;  // JIS level 1 kanji
  } else {
    weight += 0.25;  // level 2 kanji, NEC-selected IBM extensions
  }
}

EncodingVerdict ChooseReading(std::span<const ReadingSummary> readings, bool guessing) {
  const auto find = [&](TextEncoding e) -> const ReadingSummary* {
    const auto it = std::find_if(readings.begin(), readings.end(), [&](const ReadingSummary& r) { return r.encoding == e; });
    return it == readings.end() ? nullptr : &*it;
  };
  if (readings.empty()) return {};
  if (guessing) {
    // Well-formed UTF-8 beyond ASCII is hardly ever anything else, and a
    // well-formed 7-bit file that escapes into JIS X 0208 never (its lines
    // with control characters are skipped by their reason); ASCII alone is
    // CP932. A damaged ISO-2022-JP file is weighed with the others below.
    if (const ReadingSummary* u = find(TextEncoding::kUtf8); u && !u->malformed && u->check.beyondAscii > 0) {
      return {TextEncoding::kUtf8, false};
    }
    if (const ReadingSummary* j = find(TextEncoding::kIso2022Jp); j && !j->malformed && j->shifted) {
      return {TextEncoding::kIso2022Jp, false};
    }
    if (const ReadingSummary* s = find(TextEncoding::kCp932); s && s->check.badLines == 0 && s->check.beyondAscii == 0) {
      return {TextEncoding::kCp932, false};
    }
  }
  // The fewest bad lines, then the most plausible; EUC-JP without a single
  // kana is not taken over CP932 (a few kanji in EUC-JP are also half-width
  // katakana in CP932), and ties go to the earlier reading.
  const ReadingSummary* cp932 = find(TextEncoding::kCp932);
  const bool cp932Clean = cp932 && cp932->check.badLines == 0;
  const ReadingSummary* best = nullptr;
  auto rank = [&](const ReadingSummary& r) {
    double plausibility = r.check.Plausibility();
    if (r.encoding == TextEncoding::kEucJp && r.check.kana == 0 && cp932Clean) plausibility -= 1;
    return std::make_tuple(r.check.badLines, -plausibility);
  };
  for (const ReadingSummary& r : readings) {
    if (guessing && r.encoding == TextEncoding::kUtf8) continue;
    if (guessing && (r.check.badLines * 2 > r.check.lines || r.check.Plausibility() < kPlausible)) continue;
    if (best == nullptr || rank(r) < rank(*best)) best = &r;
  }
  if (best != nullptr) return {best->encoding, false};
  return {TextEncoding::kCp932, true};
}

}  // namespace zor

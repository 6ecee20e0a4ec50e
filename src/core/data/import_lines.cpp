#include "core/data/import_lines.h"

#include <algorithm>
#include <cstring>

#include "core/data/registration_file.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"
#include "core/text/unicode_to_cp932.h"

namespace zor {

namespace {

// No acceptable message has more CP932 bytes than this once trimmed.
constexpr std::size_t kLongestUsefulLine = kMaxTextBytes;

}  // namespace

Cp932LineVerdict JudgeCp932Line(std::string_view line) {
  std::size_t characters = 0;
  bool halfWidth = false;
  for (std::size_t i = 0; i < line.size();) {
    const auto b = static_cast<unsigned char>(line[i]);
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      halfWidth = halfWidth || b >= 0x20;
      ++i;
    } else if (IsCp932LeadByte(b) && i + 1 < line.size() && IsCp932TrailByte(static_cast<unsigned char>(line[i + 1]))) {
      if (!Cp932PairAssigned(b, static_cast<unsigned char>(line[i + 1]))) return Cp932LineVerdict::kUnstorable;
      i += 2;
    } else {
      return Cp932LineVerdict::kUnstorable;
    }
    ++characters;
  }
  const bool fits = characters > 0 && (halfWidth ? line.size() <= kMaxHalfWidthBytes : characters <= kMaxFullWidthChars);
  return fits ? Cp932LineVerdict::kAcceptable : Cp932LineVerdict::kTooLong;
}

void ImportLineSplitter::Feed(std::span<const char> bytes) {
  while (!bytes.empty()) {
    const void* end = std::memchr(bytes.data(), '\n', bytes.size());
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - bytes.data()) : bytes.size();
    any_ = true;
    Append(std::string_view(bytes.data(), length));
    if (end == nullptr) return;
    EndLine();
    bytes = bytes.subspan(length + 1);
  }
}

// Leading blanks are dropped; blanks after the text are counted and joined
// to it only when more text follows, while the line can still be short enough.
// A CR is held back until the next byte shows whether it ends the line.
// Control bytes and markers are never part of a CP932 character (no lead
// or trail byte is below 0x40 or above 0xFC), so they are found byte by byte.
void ImportLineSplitter::Append(std::string_view piece) {
  if (piece.empty()) return;
  if (crHeld_) strayCr_ = true;  // the held CR is not followed by the LF
  crHeld_ = piece.back() == '\r';
  if (crHeld_) piece.remove_suffix(1);
  bool tab = false;
  for (const char c : piece) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      // A CR inside the line would end the message's line on export.
      tab = tab || b == '\t';
      control_ = control_ || (b != '\t');
    } else if (markers_ && b >= 0xFD) {
      malformed_ = malformed_ || c == kMalformedByte;
      unstorable_ = unstorable_ || c == kNoCp932Byte;
      jisX0212_ = jisX0212_ || c == kJisX0212Byte;
    }
  }
  if (overlong_ || strayCr_ || control_ || malformed_ || unstorable_ || jisX0212_) return;
  std::string blanked;
  if (tab) {
    blanked.assign(piece);
    std::replace(blanked.begin(), blanked.end(), '\t', ' ');
    piece = blanked;
    tab_ = true;
  }
  if (line_.empty()) piece.remove_prefix(std::min(piece.find_first_not_of(' '), piece.size()));
  const std::size_t last = piece.find_last_not_of(' ');
  if (last == std::string_view::npos) {
    if (!line_.empty()) pendingBlanks_ += piece.size();
    return;
  }
  if (line_.size() + pendingBlanks_ + last + 1 > kLongestUsefulLine) {
    overlong_ = true;
    return;
  }
  line_.append(pendingBlanks_, ' ');
  line_.append(piece.substr(0, last + 1));
  pendingBlanks_ = piece.size() - (last + 1);
}

void ImportLineSplitter::EndLine() {
  if (!any_) return;
  SkippedLines& skipped = result_.skipped;
  if (strayCr_ || control_) {
    ++skipped.control;
  } else if (malformed_) {
    ++skipped.malformed;
  } else if (jisX0212_) {
    ++skipped.jisX0212;
  } else if (unstorable_) {
    ++skipped.unstorable;
  } else if (overlong_) {
    ++skipped.tooLong;
  } else if (line_.empty()) {
    ++skipped.blank;
  } else if (full()) {
    // Lines past the limit are only counted: judged on their bytes.
    switch (JudgeCp932Line(line_)) {
      case Cp932LineVerdict::kAcceptable: ++skipped.overLimit; break;
      case Cp932LineVerdict::kTooLong: ++skipped.tooLong; break;
      case Cp932LineVerdict::kUnstorable: ++skipped.malformed; break;
    }
  } else {
    std::wstring text = FromCp932(line_);
    // The decoder marks every byte that is not valid CP932 (CP932 itself has no U+FFFD).
    if (text.find(static_cast<wchar_t>(kReplacementChar)) != std::wstring::npos) {
      ++skipped.malformed;
    } else if (!AcceptableMessage(text)) {
      ++skipped.tooLong;
    } else {
      result_.texts.push_back(std::move(text));
      if (tab_) ++result_.tabs;
    }
  }
  line_.clear();
  pendingBlanks_ = 0;
  overlong_ = false;
  crHeld_ = false;
  strayCr_ = false;
  control_ = false;
  malformed_ = false;
  unstorable_ = false;
  jisX0212_ = false;
  tab_ = false;
  any_ = false;
}

ImportedLines ImportLineSplitter::Finish() {
  EndLine();
  return std::move(result_);
}

ImportedLines SplitImportLines(std::span<const char> bytes, int maxLines) {
  ImportLineSplitter splitter(maxLines);
  splitter.Feed(bytes);
  return splitter.Finish();
}

}  // namespace zor

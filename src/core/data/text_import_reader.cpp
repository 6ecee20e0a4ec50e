#include "core/data/text_import_reader.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/data/text_import_guess.h"
#include "core/text/cp932_from_jis.h"
#include "core/text/unicode_to_cp932.h"

namespace zor {

// One reading of the bytes: its converter to CP932 (none for CP932
// itself), what it looks like, and its lines.
struct TextImportReader::Reading {
  ReadingSummary summary;
  std::optional<Cp932Transcoder> unicode;
  std::optional<JisToCp932> jis;
  std::optional<ImportLineSplitter> splitter;
  bool out = false;  // out of the running: fed no more

  [[nodiscard]] bool Malformed() const {
    return (unicode && unicode->malformed()) || (jis && jis->malformed());
  }
};

EncodingChoice ChoiceReading(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kCp932: return EncodingChoice::kCp932;
    case TextEncoding::kUtf8:
    case TextEncoding::kUtf8WithMark: return EncodingChoice::kUtf8;
    case TextEncoding::kUtf16Le: return EncodingChoice::kUtf16Le;
    case TextEncoding::kUtf16Be: return EncodingChoice::kUtf16Be;
    case TextEncoding::kEucJp: return EncodingChoice::kEucJp;
    case TextEncoding::kIso2022Jp: return EncodingChoice::kIso2022Jp;
  }
  return EncodingChoice::kCp932;
}

TextImportReader::TextImportReader(int maxLines, EncodingChoice choice, Lines lines)
    : maxLines_(maxLines), choice_(choice), keepLines_(lines == Lines::kKept) {}

TextImportReader::~TextImportReader() = default;

void TextImportReader::Feed(std::span<const char> bytes) {
  if (!begun_) {
    // The longest mark is three bytes.
    const std::size_t take = std::min(bytes.size(), std::size_t{3} - std::min(head_.size(), std::size_t{3}));
    head_.append(bytes.data(), take);
    bytes = bytes.subspan(take);
    if (head_.size() < 3) return;
    Begin(std::span<const char>(head_));
  }
  FeedReadings(bytes);
}

void TextImportReader::Add(TextEncoding encoding) {
  auto r = std::make_unique<Reading>();
  r->summary.encoding = encoding;
  switch (encoding) {
    case TextEncoding::kCp932: break;
    case TextEncoding::kUtf8:
    case TextEncoding::kUtf8WithMark: r->unicode.emplace(UnicodeForm::kUtf8); break;
    case TextEncoding::kUtf16Le: r->unicode.emplace(UnicodeForm::kUtf16Le); break;
    case TextEncoding::kUtf16Be: r->unicode.emplace(UnicodeForm::kUtf16Be); break;
    case TextEncoding::kEucJp: r->jis.emplace(JisForm::kEucJp); break;
    case TextEncoding::kIso2022Jp: r->jis.emplace(JisForm::kIso2022Jp); break;
  }
  const bool markers = encoding != TextEncoding::kCp932;
  r->summary.check = ReadingCheck(markers);
  if (keepLines_) r->splitter.emplace(maxLines_, markers);
  readings_.push_back(std::move(r));
}

void TextImportReader::Begin(std::span<const char> head) {
  begun_ = true;
  const auto starts = [&](std::string_view mark) {
    return head.size() >= mark.size() && std::equal(mark.begin(), mark.end(), head.begin());
  };
  const EncodingChoice c = choice_;
  const bool auto8 = c == EncodingChoice::kAuto || c == EncodingChoice::kUtf8;
  const bool auto16 = c == EncodingChoice::kAuto || c == EncodingChoice::kUtf16;
  std::size_t markSize = 0;
  if (auto8 && starts("\xEF\xBB\xBF")) {
    Add(TextEncoding::kUtf8WithMark);
    markSize = 3;
  } else if ((auto16 || c == EncodingChoice::kUtf16Le) && starts("\xFF\xFE")) {
    Add(TextEncoding::kUtf16Le);
    markSize = 2;
  } else if ((auto16 || c == EncodingChoice::kUtf16Be) && starts("\xFE\xFF")) {
    Add(TextEncoding::kUtf16Be);
    markSize = 2;
  } else {
    switch (c) {
      case EncodingChoice::kAuto:
        for (const TextEncoding e : {TextEncoding::kCp932, TextEncoding::kUtf8, TextEncoding::kEucJp,
                                     TextEncoding::kIso2022Jp, TextEncoding::kUtf16Le, TextEncoding::kUtf16Be}) {
          Add(e);
        }
        break;
      case EncodingChoice::kCp932: Add(TextEncoding::kCp932); break;
      case EncodingChoice::kUtf8: Add(TextEncoding::kUtf8); break;
      case EncodingChoice::kUtf16:
        Add(TextEncoding::kUtf16Le);
        Add(TextEncoding::kUtf16Be);
        break;
      case EncodingChoice::kEucJp: Add(TextEncoding::kEucJp); break;
      case EncodingChoice::kIso2022Jp: Add(TextEncoding::kIso2022Jp); break;
      case EncodingChoice::kUtf16Le: Add(TextEncoding::kUtf16Le); break;
      case EncodingChoice::kUtf16Be: Add(TextEncoding::kUtf16Be); break;
    }
  }
  FeedReadings(head.subspan(markSize));
}

void TextImportReader::FeedReadings(std::span<const char> bytes) {
  if (bytes.empty()) return;
  const bool several = readings_.size() > 1;
  for (const std::unique_ptr<Reading>& r : readings_) {
    if (r->out) continue;
    std::string_view cp932(bytes.data(), bytes.size());
    if (r->unicode || r->jis) {
      converted_.clear();
      if (r->unicode) r->unicode->Feed(bytes, converted_);
      if (r->jis) r->jis->Feed(bytes, converted_);
      cp932 = converted_;
    }
    if (several) r->summary.check.Feed(cp932);
    if (r->splitter) r->splitter->Feed(cp932);
    // The guess takes UTF-8 only when wholly well-formed.
    if (choice_ == EncodingChoice::kAuto && several && r->summary.encoding == TextEncoding::kUtf8 && r->Malformed()) {
      r->summary.malformed = true;
      r->out = true;
    }
  }
}

ImportedLines TextImportReader::Finish() {
  if (!begun_) Begin(std::span<const char>(head_));
  const bool several = readings_.size() > 1;
  std::vector<ReadingSummary> summaries;
  for (const std::unique_ptr<Reading>& r : readings_) {
    if (r->out) {
      summaries.push_back(r->summary);
      continue;
    }
    // A sequence cut by the end of the file skips only its own line.
    r->summary.malformed = r->Malformed();
    if (r->jis) r->summary.shifted = r->jis->shifted();
    converted_.clear();
    if (r->unicode) r->unicode->Finish(converted_);
    if (r->jis) r->jis->Finish(converted_);
    if (several) {
      r->summary.check.Feed(converted_);
      r->summary.check.Finish();
    }
    if (r->splitter) r->splitter->Feed(converted_);
    summaries.push_back(r->summary);
  }
  const EncodingVerdict verdict = ChooseReading(summaries, choice_ == EncodingChoice::kAuto && several);
  ImportedLines lines;
  const auto chosen = std::find_if(readings_.begin(), readings_.end(), [&](const std::unique_ptr<Reading>& r) {
    return r->summary.encoding == verdict.encoding;
  });
  if (chosen != readings_.end() && (*chosen)->splitter) lines = (*chosen)->splitter->Finish();
  lines.encoding = verdict.encoding;
  if (verdict.unreadable) {
    // Nothing of a file no encoding reads is registered.
    lines = ImportedLines{};
    lines.unreadable = true;
  }
  return lines;
}

ImportedLines ReadImportLines(const ByteSource& source, int maxLines, EncodingChoice choice) {
  TextImportReader reader(maxLines, choice);
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const std::size_t n = source(chunk.data(), chunk.size());
    if (n == 0) break;
    reader.Feed(std::span<const char>(chunk.data(), n));
  }
  return reader.Finish();
}

}  // namespace zor

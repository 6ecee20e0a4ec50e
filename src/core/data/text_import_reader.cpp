#include "core/data/text_import_reader.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace zor {

TextImportReader::TextImportReader(int maxLines, EncodingChoice choice) : choice_(choice), splitter_(maxLines) {}

void TextImportReader::Feed(std::span<const char> bytes) {
  if (!begun_) {
    // The longest mark is three bytes.
    const std::size_t take = std::min(bytes.size(), std::size_t{3} - std::min(head_.size(), std::size_t{3}));
    head_.append(bytes.data(), take);
    bytes = bytes.subspan(take);
    if (head_.size() < 3) return;
    Begin(std::span<const char>(head_));
  }
  FeedAfterMark(bytes);
}

void TextImportReader::Begin(std::span<const char> head) {
  begun_ = true;
  const auto starts = [&](std::string_view mark) {
    return head.size() >= mark.size() && std::equal(mark.begin(), mark.end(), head.begin());
  };
  std::size_t markSize = 0;
  const bool unicode = choice_ != EncodingChoice::kCp932;
  if (unicode && choice_ != EncodingChoice::kUtf16 && starts("\xEF\xBB\xBF")) {
    encoding_ = TextEncoding::kUtf8WithMark;
    markSize = 3;
  } else if (unicode && choice_ != EncodingChoice::kUtf8 && starts("\xFF\xFE")) {
    encoding_ = TextEncoding::kUtf16Le;
    markSize = 2;
  } else if (unicode && choice_ != EncodingChoice::kUtf8 && starts("\xFE\xFF")) {
    encoding_ = TextEncoding::kUtf16Be;
    markSize = 2;
  } else if (choice_ == EncodingChoice::kUtf8) {
    encoding_ = TextEncoding::kUtf8;
  } else if (choice_ == EncodingChoice::kUtf16) {
    encoding_ = TextEncoding::kUtf16Le;
  } else {
    encoding_ = TextEncoding::kCp932;
    guessing_ = choice_ == EncodingChoice::kAuto;
  }
  switch (encoding_) {
    case TextEncoding::kUtf8:
    case TextEncoding::kUtf8WithMark: transcoder_.emplace(UnicodeForm::kUtf8); break;
    case TextEncoding::kUtf16Le: transcoder_.emplace(UnicodeForm::kUtf16Le); break;
    case TextEncoding::kUtf16Be: transcoder_.emplace(UnicodeForm::kUtf16Be); break;
    case TextEncoding::kCp932: break;
  }
  FeedAfterMark(head.subspan(markSize));
}

void TextImportReader::FeedAfterMark(std::span<const char> bytes) {
  if (transcoder_) {
    Transcode(*transcoder_, bytes, splitter_);
  } else if (guessing_) {
    FeedGuessing(bytes);
  } else {
    splitter_.Feed(bytes);
  }
}

void TextImportReader::FeedGuessing(std::span<const char> bytes) {
  if (!beyondAscii_) {
    const auto first = std::find_if(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    const auto ascii = static_cast<std::size_t>(first - bytes.begin());
    splitter_.Feed(bytes.first(ascii));
    if (ascii == bytes.size()) return;
    beyondAscii_ = true;
    utf8_.emplace(Utf8Reading{Cp932Transcoder(UnicodeForm::kUtf8, Cp932Transcoder::OnMalformed::kStop), splitter_});
    bytes = bytes.subspan(ascii);
  }
  splitter_.Feed(bytes);
  if (!utf8_) return;
  converted_.clear();
  utf8_->transcoder.Feed(bytes, converted_);
  if (utf8_->transcoder.malformed()) {
    utf8_.reset();
  } else {
    utf8_->splitter.Feed(converted_);
  }
}

void TextImportReader::Transcode(Cp932Transcoder& transcoder, std::span<const char> bytes,
                                 ImportLineSplitter& splitter) {
  converted_.clear();
  transcoder.Feed(bytes, converted_);
  splitter.Feed(converted_);
}

ImportedLines TextImportReader::Finish() {
  if (!begun_) Begin(std::span<const char>(head_));
  converted_.clear();
  ImportedLines lines;
  if (transcoder_) {
    transcoder_->Finish(converted_);
    splitter_.Feed(converted_);
    lines = splitter_.Finish();
  } else if (utf8_) {
    // Wholly UTF-8 but perhaps for a character cut by the end of the file,
    // which skips only its own line.
    utf8_->transcoder.Finish(converted_);
    utf8_->splitter.Feed(converted_);
    lines = utf8_->splitter.Finish();
    encoding_ = TextEncoding::kUtf8;
  } else {
    lines = splitter_.Finish();
  }
  lines.encoding = encoding_;
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

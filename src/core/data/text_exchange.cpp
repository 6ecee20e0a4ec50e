#include "core/data/text_exchange.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

// No acceptable message has more CP932 bytes than this once trimmed.
constexpr std::size_t kLongestUsefulLine = kMaxTextBytes;

// The base name: the file name up to its last "." (the whole name without one).
std::filesystem::path BaseName(const std::filesystem::path& path) {
  const std::wstring name = PathText(path.filename());
  const std::size_t dot = name.rfind(L'.');
  return PathFromText(dot == std::wstring::npos ? name : name.substr(0, dot));
}

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
void ImportLineSplitter::Append(std::string_view piece) {
  if (piece.empty()) return;
  if (crHeld_) strayCr_ = true;  // the held CR is not followed by the LF
  crHeld_ = piece.back() == '\r';
  if (crHeld_) piece.remove_suffix(1);
  // A CR inside the line would end the message's line on export.
  if (piece.find('\r') != std::string_view::npos) strayCr_ = true;
  if (overlong_ || strayCr_) return;
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
  if (strayCr_) {
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
      case Cp932LineVerdict::kUnstorable: ++skipped.unstorable; break;
    }
  } else {
    std::wstring text = FromCp932(line_);
    // The decoder marks every byte that is not valid CP932 (CP932 itself has no U+FFFD).
    if (text.find(static_cast<wchar_t>(kReplacementChar)) != std::wstring::npos) {
      ++skipped.unstorable;
    } else if (!AcceptableMessage(text)) {
      ++skipped.tooLong;
    } else {
      result_.texts.push_back(std::move(text));
    }
  }
  line_.clear();
  pendingBlanks_ = 0;
  overlong_ = false;
  crHeld_ = false;
  strayCr_ = false;
  any_ = false;
}

ImportedLines ImportLineSplitter::Finish() {
  EndLine();
  return std::move(result_);
}

std::wstring_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kCp932: return L"Shift_JIS";
    case TextEncoding::kUtf8: return L"UTF-8";
    case TextEncoding::kUtf8WithMark: return L"UTF-8 (BOM)";
    case TextEncoding::kUtf16Le: return L"UTF-16 LE";
    case TextEncoding::kUtf16Be: return L"UTF-16 BE";
  }
  return L"Shift_JIS";
}

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

ImportedLines SplitImportLines(std::span<const char> bytes, int maxLines) {
  ImportLineSplitter splitter(maxLines);
  splitter.Feed(bytes);
  return splitter.Finish();
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

std::wstring ImportReportText(const ImportReport& report) {
  const SkippedLines& s = report.skipped;
  const bool plain = report.registered > 0 && report.encoding == TextEncoding::kCp932 && s.Total() == s.blank;
  if (plain) return {};
  std::wstring text = report.registered > 0 ? std::to_wstring(report.registered) + L" 件の文章を登録しました。"
                                            : std::wstring(L"登録できる文章はありませんでした。");
  text += L"\r\n文字コード: ";
  text += EncodingName(report.encoding);
  if (s.Total() > 0) {
    text += L"\r\n\r\n登録しなかった行:";
    const auto reason = [&](int count, const std::wstring& what) {
      if (count > 0) text += L"\r\n　" + what + L": " + std::to_wstring(count);
    };
    reason(s.blank, L"空行");
    reason(s.tooLong, L"長すぎる行");
    reason(s.unstorable, L"Shift_JIS で保存できない文字を含む行");
    reason(s.overLimit, L"上限（" + std::to_wstring(report.limit) + L" 件）を超えた行");
  }
  return text;
}

std::wstring ImportReportLine(const ImportReport& report) {
  const SkippedLines& s = report.skipped;
  std::wstring line = L"import: read as " + std::wstring(EncodingName(report.encoding)) + L", " +
                      std::to_wstring(report.registered) + L" registered";
  if (report.registered == 0) line += L" (nothing to register)";
  line += L", " + std::to_wstring(s.Total()) + L" skipped";
  if (s.Total() > 0) {
    line += L" (" + std::to_wstring(s.blank) + L" blank, " + std::to_wstring(s.tooLong) + L" too long, " +
            std::to_wstring(s.unstorable) + L" with characters Shift_JIS cannot hold, " +
            std::to_wstring(s.overLimit) + L" over the limit of " + std::to_wstring(report.limit) + L")";
  }
  return line;
}

std::filesystem::path ExportNameFor(const std::filesystem::path& registration) {
  if (!registration.has_filename()) return {};
  std::filesystem::path name = BaseName(registration);
  name += ".txt";
  return registration.parent_path() / name;
}

Result<std::filesystem::path> ImportTargetFor(const std::filesystem::path& text) {
  std::filesystem::path name = BaseName(text);
  name += ".zrd";
  std::filesystem::path target = text.parent_path() / name;
  std::error_code ec;
  if (!std::filesystem::exists(target, ec) && !ec) return target;
  return NewUntitledName(text.parent_path());
}

Status Export(const std::filesystem::path& text, const std::filesystem::path& registration,
              ExportEncoding encoding) {
  Result<RegistrationHeader> header = ValidateRegistrationFile(registration);
  if (!header.ok()) return header.status();
  FileHandle in = OpenForReading(registration);
  const std::int64_t size = in ? FileSizeOf(in.get()) : -1;
  if (size < 0) return Status::Fail(FileError::kRead, DisplayPath(registration) + L" を読み込めませんでした。");
  // Every message the file holds, also beyond the 500 the list shows: the
  // header's count, as far as the file has records for it.
  const std::int64_t present = (size - static_cast<std::int64_t>(kHeaderSize)) / static_cast<std::int64_t>(kRecordSize);
  const std::int64_t count = std::min<std::int64_t>(std::max<std::int16_t>(header.value().count, 0), present);
  bool readFailed = false;
  const bool utf8 = encoding == ExportEncoding::kUtf8;
  Status written = ReplaceFileContents(text, [&](FileWriter& w) {
    if (utf8 && !w.Write("\xEF\xBB\xBF")) return false;
    RecordBytes r;
    for (std::int64_t n = 0; n < count; ++n) {
      const std::int64_t at = static_cast<std::int64_t>(kHeaderSize) + n * static_cast<std::int64_t>(kRecordSize);
      if (ReadAt(in.get(), at, r.data(), r.size()) != r.size()) {
        readFailed = true;
        return false;
      }
      const std::wstring message = RecordText(r);
      if (!w.Write(utf8 ? ToUtf8(message) : ToCp932(message)) || !w.Write("\r\n")) return false;
    }
    return true;
  });
  if (readFailed) return Status::Fail(FileError::kRead, DisplayPath(registration) + L" を読み込めませんでした。");
  return written;
}

Result<ImportReport> ImportInto(const std::filesystem::path& registration, const std::filesystem::path& text,
                                bool limitTo100, EncodingChoice choice) {
  if (!FileExists(text)) return Status::Fail(FileError::kMissing, L"指定のファイルは存在しません");
  FileHandle in = OpenForReading(text);
  if (!in) return Status::Fail(FileError::kRead, DisplayPath(text) + L" を読み込めませんでした。");
  std::FILE* f = in.get();
  const int limit = limitTo100 ? kImportLimitedLines : kMaxMessages;
  if (choice == EncodingChoice::kAuto) {
    // A first pass tells whether the file is UTF-8 (a mark of UTF-8 included),
    // so that a large UTF-8 file is read once, not in both encodings at once.
    Utf8Check check;
    std::vector<char> chunk(1 << 16);
    while (!check.malformed()) {
      const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), f);
      if (n == 0) break;
      check.Feed(std::span<const char>(chunk.data(), n));
    }
    if (std::ferror(f) != 0) return Status::Fail(FileError::kRead, DisplayPath(text) + L" を読み込めませんでした。");
    if (check.IsUtf8BeyondAscii()) choice = EncodingChoice::kUtf8;
    std::rewind(f);
  }
  const ImportedLines lines = ReadImportLines(
      [f](char* buffer, std::size_t size) { return std::fread(buffer, 1, size, f); }, limit, choice);
  if (std::ferror(f) != 0) return Status::Fail(FileError::kRead, DisplayPath(text) + L" を読み込めませんでした。");

  RegistrationHeader header;
  header.count = static_cast<std::int16_t>(lines.texts.size());
  Status written = ReplaceFileContents(registration, [&](FileWriter& w) {
    if (!w.Write(header.Encode())) return false;
    for (const std::wstring& t : lines.texts) {
      RecordBytes r = BlankRecord();
      SetRecordText(r, t);
      if (!w.Write(std::string_view(r.data(), r.size()))) return false;
    }
    return true;
  });
  if (!written.ok()) return written;
  return ImportReport{static_cast<int>(lines.texts.size()), limit, lines.skipped, lines.encoding};
}

Result<ImportOutcome> Import(const std::filesystem::path& text, bool limitTo100, EncodingChoice choice) {
  if (!FileExists(text)) return Status::Fail(FileError::kMissing, L"指定のファイルは存在しません");
  Result<std::filesystem::path> target = ImportTargetFor(text);
  if (!target.ok()) return target.status();
  Result<ImportReport> report = ImportInto(target.value(), text, limitTo100, choice);
  if (!report.ok()) return report.status();
  return ImportOutcome{target.value(), report.value()};
}

}  // namespace zor

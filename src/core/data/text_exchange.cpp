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

void ImportLineSplitter::Feed(std::span<const char> bytes) {
  while (!bytes.empty() && !full()) {
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
  bool accepted = false;
  if (!overlong_ && !strayCr_ && !line_.empty()) {
    std::wstring text = FromCp932(line_);
    // The decoder marks every byte that is not valid CP932 (CP932 itself has no U+FFFD).
    if (text.find(static_cast<wchar_t>(kReplacementChar)) == std::wstring::npos && AcceptableMessage(text)) {
      result_.texts.push_back(std::move(text));
      accepted = true;
    }
  }
  if (!accepted) ++result_.skipped;
  line_.clear();
  pendingBlanks_ = 0;
  overlong_ = false;
  crHeld_ = false;
  strayCr_ = false;
  any_ = false;
}

ImportedLines ImportLineSplitter::Finish() {
  if (!full()) EndLine();
  return std::move(result_);
}

ImportedLines SplitImportLines(std::span<const char> bytes, int maxLines) {
  ImportLineSplitter splitter(maxLines);
  splitter.Feed(bytes);
  return splitter.Finish();
}

ImportedLines ReadImportLines(const ByteSource& source, int maxLines) {
  ImportLineSplitter splitter(maxLines);
  std::vector<char> chunk(1 << 16);
  while (!splitter.full()) {
    const std::size_t n = source(chunk.data(), chunk.size());
    if (n == 0) break;
    splitter.Feed(std::span<const char>(chunk.data(), n));
  }
  return splitter.Finish();
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

Status Export(const std::filesystem::path& text, const std::filesystem::path& registration) {
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
  Status written = ReplaceFileContents(text, [&](FileWriter& w) {
    RecordBytes r;
    for (std::int64_t n = 0; n < count; ++n) {
      const std::int64_t at = static_cast<std::int64_t>(kHeaderSize) + n * static_cast<std::int64_t>(kRecordSize);
      if (ReadAt(in.get(), at, r.data(), r.size()) != r.size()) {
        readFailed = true;
        return false;
      }
      if (!w.Write(ToCp932(RecordText(r))) || !w.Write("\r\n")) return false;
    }
    return true;
  });
  if (readFailed) return Status::Fail(FileError::kRead, DisplayPath(registration) + L" を読み込めませんでした。");
  return written;
}

Result<int> ImportInto(const std::filesystem::path& registration, const std::filesystem::path& text,
                       bool limitTo100) {
  if (!FileExists(text)) return Status::Fail(FileError::kMissing, L"指定のファイルは存在しません");
  FileHandle in = OpenForReading(text);
  if (!in) return Status::Fail(FileError::kRead, DisplayPath(text) + L" を読み込めませんでした。");
  std::FILE* f = in.get();
  const ImportedLines lines = ReadImportLines(
      [f](char* buffer, std::size_t size) { return std::fread(buffer, 1, size, f); },
      limitTo100 ? kImportLimitedLines : kMaxMessages);
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
  return static_cast<int>(lines.texts.size());
}

Result<ImportOutcome> Import(const std::filesystem::path& text, bool limitTo100) {
  if (!FileExists(text)) return Status::Fail(FileError::kMissing, L"指定のファイルは存在しません");
  Result<std::filesystem::path> target = ImportTargetFor(text);
  if (!target.ok()) return target.status();
  Result<int> n = ImportInto(target.value(), text, limitTo100);
  if (!n.ok()) return n.status();
  return ImportOutcome{target.value(), n.value()};
}

}  // namespace zor

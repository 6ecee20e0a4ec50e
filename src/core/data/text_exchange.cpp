#include "core/data/text_exchange.h"

#include <algorithm>
#include <cstdio>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

// No acceptable message has more CP932 bytes than this once trimmed.
constexpr std::size_t kLongestUsefulLine = kMaxTextBytes;

// Collects one line: leading blanks dropped, inner and trailing blanks
// counted but held only while the line can still be short enough.
class LineBuilder {
 public:
  void Add(char c) {
    if (overlong_) return;
    if (c == ' ') {
      if (!text_.empty()) ++pendingBlanks_;
      return;
    }
    if (text_.size() + pendingBlanks_ + 1 > kLongestUsefulLine) {
      overlong_ = true;
      return;
    }
    text_.append(pendingBlanks_, ' ');
    pendingBlanks_ = 0;
    text_.push_back(c);
  }
  void Reset() {
    text_.clear();
    pendingBlanks_ = 0;
    overlong_ = false;
  }
  [[nodiscard]] bool overlong() const { return overlong_; }
  // The trimmed bytes; a CR before the LF is not part of the line.
  [[nodiscard]] std::string_view Trimmed() const {
    std::string_view t = text_;
    if (pendingBlanks_ == 0 && !t.empty() && t.back() == '\r') t.remove_suffix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
  }

 private:
  std::string text_;
  std::size_t pendingBlanks_ = 0;
  bool overlong_ = false;
};

bool IsValidCp932(std::string_view bytes) {
  return FromCp932(bytes).find(static_cast<wchar_t>(kReplacementChar)) == std::wstring::npos;
}

// The base name: the file name up to its last "." (the whole name without one).
std::filesystem::path BaseName(const std::filesystem::path& path) {
  const std::wstring name = PathText(path.filename());
  const std::size_t dot = name.rfind(L'.');
  return PathFromText(dot == std::wstring::npos ? name : name.substr(0, dot));
}

}  // namespace

ImportedLines ReadImportLines(const ByteSource& source, int maxLines) {
  ImportedLines result;
  if (maxLines <= 0) return result;
  LineBuilder line;
  std::vector<char> chunk(1 << 16);
  bool any = false;  // bytes in the current line
  const auto finish = [&]() {
    if (!any) return;
    any = false;
    const std::string_view bytes = line.Trimmed();
    bool accepted = false;
    // A lone CR inside the line would end the message's line on export.
    if (!line.overlong() && !bytes.empty() && bytes.find('\r') == std::string_view::npos && IsValidCp932(bytes)) {
      std::wstring text = FromCp932(bytes);
      if (AcceptableMessage(text)) {
        result.texts.push_back(std::move(text));
        accepted = true;
      }
    }
    if (!accepted) ++result.skipped;
    line.Reset();
  };
  for (;;) {
    const std::size_t n = source(chunk.data(), chunk.size());
    if (n == 0) break;
    for (std::size_t i = 0; i < n; ++i) {
      if (chunk[i] == '\n') {
        any = true;
        finish();
        if (static_cast<int>(result.texts.size()) >= maxLines) return result;
      } else {
        any = true;
        line.Add(chunk[i]);
      }
    }
  }
  finish();
  if (static_cast<int>(result.texts.size()) > maxLines) result.texts.resize(static_cast<std::size_t>(maxLines));
  return result;
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
  if (size < 0) return Status::Fail(FileError::kRead, PathText(registration) + L" を読み込めませんでした。");
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
  if (readFailed) return Status::Fail(FileError::kRead, PathText(registration) + L" を読み込めませんでした。");
  return written;
}

Result<int> ImportInto(const std::filesystem::path& registration, const std::filesystem::path& text,
                       bool limitTo100) {
  if (!FileExists(text)) return Status::Fail(FileError::kMissing, L"指定のファイルは存在しません");
  FileHandle in = OpenForReading(text);
  if (!in) return Status::Fail(FileError::kRead, PathText(text) + L" を読み込めませんでした。");
  std::FILE* f = in.get();
  const ImportedLines lines = ReadImportLines(
      [f](char* buffer, std::size_t size) { return std::fread(buffer, 1, size, f); },
      limitTo100 ? kImportLimitedLines : kMaxMessages);
  if (std::ferror(f) != 0) return Status::Fail(FileError::kRead, PathText(text) + L" を読み込めませんでした。");

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

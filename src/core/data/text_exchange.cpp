#include "core/data/text_exchange.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/text/cp932.h"
#include "core/text/unicode.h"
#include "core/text/unicode_to_cp932.h"

namespace zor {

namespace {

constexpr std::wstring_view kTextFileMissing = L"指定のファイルは存在しません";

// The base name: the file name up to its last "." (the whole name without one).
std::filesystem::path BaseName(const std::filesystem::path& path) {
  const std::wstring name = PathText(path.filename());
  const std::size_t dot = name.rfind(L'.');
  return PathFromText(dot == std::wstring::npos ? name : name.substr(0, dot));
}

Status CannotRead(const std::filesystem::path& path) {
  return Status::Fail(FileError::kRead, ReadFailureSentence(DisplayPath(path)));
}

}  // namespace

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
  const std::optional<RecordReader> in = RecordReader::Open(registration);
  if (!in) return CannotRead(registration);
  // Every message the file holds, also beyond the 500 the list shows: the
  // header's count, as far as the file has records for it.
  const auto count = static_cast<int>(
      std::min<std::int64_t>(std::max<std::int16_t>(header.value().count, 0), in->WholeRecords()));
  bool readFailed = false;
  const bool utf8 = encoding == ExportEncoding::kUtf8;
  Status written = ReplaceFileContents(text, [&](FileWriter& w) {
    if (utf8 && !w.Write("\xEF\xBB\xBF")) return false;
    RecordBytes r;
    for (int n = 1; n <= count; ++n) {
      if (!in->Read(n, r)) {
        readFailed = true;
        return false;
      }
      const std::wstring message = RecordText(r);
      if (!w.Write(utf8 ? ToUtf8(message) : ToCp932(message)) || !w.Write("\r\n")) return false;
    }
    return true;
  });
  if (readFailed) return CannotRead(registration);
  return written;
}

Result<ImportReport> ImportInto(const std::filesystem::path& registration, const std::filesystem::path& text,
                                bool limitTo100, EncodingChoice choice) {
  if (!FileExists(text)) return Status::Fail(FileError::kMissing, std::wstring(kTextFileMissing));
  FileHandle in = OpenForReading(text);
  if (!in) return CannotRead(text);
  std::FILE* f = in.get();
  const int limit = limitTo100 ? kImportLimitedLines : kMaxMessages;
  const auto source = [f](char* buffer, std::size_t size) { return std::fread(buffer, 1, size, f); };
  std::vector<char> chunk(1 << 16);
  if (choice == EncodingChoice::kAuto) {
    // UTF-8 (the guess's first rule) is told by a pass far cheaper than
    // reading the file in every encoding, and is the commonest case.
    Utf8Check check;
    for (std::size_t n; !check.malformed() && (n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0;) {
      check.Feed(std::span<const char>(chunk.data(), n));
    }
    if (std::ferror(f) != 0) return CannotRead(text);
    if (check.IsUtf8BeyondAscii()) choice = EncodingChoice::kUtf8;
    std::rewind(f);
  }
  if (choice == EncodingChoice::kAuto || choice == EncodingChoice::kUtf16) {
    // A first pass finds the encoding, so that the file is then read once
    // in it rather than kept in every encoding at once.
    TextImportReader guess(limit, choice, TextImportReader::Lines::kNone);
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0;) {
      guess.Feed(std::span<const char>(chunk.data(), n));
    }
    if (std::ferror(f) != 0) return CannotRead(text);
    const ImportedLines found = guess.Finish();
    if (found.unreadable) return Status::Fail(FileError::kRefused, std::wstring(kUnreadableTextMessage));
    choice = ChoiceReading(found.encoding);
    std::rewind(f);
  }
  const ImportedLines lines = ReadImportLines(source, limit, choice);
  if (std::ferror(f) != 0) return CannotRead(text);
  const ImportReport report{static_cast<int>(lines.texts.size()), limit, lines.skipped, lines.encoding, lines.tabs};
  // An empty registration file would only stand in the way of the next try.
  if (lines.texts.empty()) return Status::Fail(FileError::kRefused, NothingImportedSentence(report));

  RegistrationHeader header;
  header.count = static_cast<std::int16_t>(lines.texts.size());
  std::vector<RecordBytes> records;
  records.reserve(lines.texts.size());
  for (const std::wstring& t : lines.texts) records.push_back(RecordOf(t));
  if (Status written = ReplaceRegistrationFile(registration, header, records); !written.ok()) return written;
  return report;
}

Result<ImportOutcome> Import(const std::filesystem::path& text, bool limitTo100, EncodingChoice choice) {
  if (!FileExists(text)) return Status::Fail(FileError::kMissing, std::wstring(kTextFileMissing));
  Result<std::filesystem::path> target = ImportTargetFor(text);
  if (!target.ok()) return target.status();
  Result<ImportReport> report = ImportInto(target.value(), text, limitTo100, choice);
  if (!report.ok()) return report.status();
  return ImportOutcome{target.value(), report.value()};
}

}  // namespace zor

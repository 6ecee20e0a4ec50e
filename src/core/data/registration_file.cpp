#include "core/data/registration_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

#include "core/data/file_system.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

std::int16_t GetInt16(std::string_view bytes, std::size_t at) {
  const auto lo = static_cast<unsigned char>(bytes[at]);
  const auto hi = static_cast<unsigned char>(bytes[at + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | hi << 8));
}

void PutInt16(std::string& bytes, std::size_t at, std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  bytes[at] = static_cast<char>(u & 0xFF);
  bytes[at + 1] = static_cast<char>(u >> 8);
}

std::wstring ReadFailure(const std::filesystem::path& path) {
  return ReadFailureMessage(DisplayPath(path));
}

// The bytes of record n within bytes that start at position 1: empty when
// they end before it, short when they end inside it.
std::span<const char> RecordSpan(std::span<const char> bytes, int n) {
  const auto at = static_cast<std::size_t>(RecordOffset(n));
  if (at >= bytes.size()) return {};
  return bytes.subspan(at, std::min(kRecordSize, bytes.size() - at));
}

// Reads record n of an open file of the given size; the part the file lacks stays blanks.
bool ReadRecord(std::FILE* file, std::int64_t size, int n, RecordBytes& record) {
  record = BlankRecord();
  if (RecordOffset(n) >= size) return true;
  const auto want = static_cast<std::size_t>(std::min<std::int64_t>(kRecordSize, size - RecordOffset(n)));
  return ReadAt(file, RecordOffset(n), record.data(), want) == want;
}

bool WriteHeaderAndRecords(FileWriter& w, const RegistrationHeader& header, std::span<const RecordBytes> records) {
  if (!w.Write(header.Encode())) return false;
  for (const RecordBytes& r : records) {
    if (!w.Write(std::string_view(r.data(), r.size()))) return false;
  }
  return true;
}

Status NoSuchMessage(int n, int count) {
  return Status::Fail(FileError::kRefused, std::to_wstring(n) + L" 番目の文章はありません（登録数 " +
                                               std::to_wstring(count) + L"）。");
}

// An open file, its size and the bytes read from its start so far.
struct OpenedFile {
  FileHandle file;
  std::int64_t size = 0;
  std::string bytes;

  // Reads the next bytes, at most max of them (fewer at the end of the file).
  [[nodiscard]] bool ReadOn(std::size_t max) {
    const auto at = static_cast<std::int64_t>(bytes.size());
    const auto want = static_cast<std::size_t>(std::clamp<std::int64_t>(size - at, 0, static_cast<std::int64_t>(max)));
    if (want == 0) return true;
    bytes.resize(bytes.size() + want);
    return ReadAt(file.get(), at, bytes.data() + (bytes.size() - want), want) == want;
  }
};

// Opens the file and reads what it holds of the header.
Result<OpenedFile> OpenAndReadHeader(const std::filesystem::path& path) {
  if (!FileExists(path)) {
    // A folder or another entry of that name cannot be read, but is not missing either.
    if (SomethingExistsAt(path)) return Status::Fail(FileError::kRead, ReadFailure(path));
    return Status::Fail(FileError::kMissing, MissingFileMessage(DisplayPath(path)));
  }
  OpenedFile f;
  f.file = OpenForReading(path);
  if (!f.file) return Status::Fail(FileError::kRead, ReadFailure(path));
  f.size = FileSizeOf(f.file.get());
  if (f.size < 0 || !f.ReadOn(kHeaderSize)) return Status::Fail(FileError::kRead, ReadFailure(path));
  return f;
}

// The header and the records 1..MessageCount() of a validated file, with
// records the file lacks (wholly or in part) filled with blanks.
struct Image {
  RegistrationHeader header;
  std::vector<RecordBytes> records;
};

Result<Image> ParseImage(std::span<const char> bytes, std::wstring_view name) {
  Result<RegistrationHeader> header = ParseRegistrationHeader(bytes, name);
  if (!header.ok()) return header.status();
  return Image{header.value(), RecordsFrom(bytes, header.value().MessageCount())};
}

// Reads the header and, when it is valid, the records within its count (at
// most 500 of them, whatever the file's length).
Result<OpenedFile> ReadHeaderAndRecords(const std::filesystem::path& path) {
  Result<OpenedFile> f = OpenAndReadHeader(path);
  if (!f.ok()) return f;
  OpenedFile& opened = f.value();
  const Result<RegistrationHeader> header = ParseRegistrationHeader(opened.bytes, DisplayPath(path));
  if (!header.ok()) return header.status();
  const auto count = static_cast<std::size_t>(header.value().MessageCount());
  if (!opened.ReadOn(count * kRecordSize)) return Status::Fail(FileError::kRead, ReadFailure(path));
  return f;
}

Result<Image> LoadImage(const std::filesystem::path& path) {
  const Result<OpenedFile> f = ReadHeaderAndRecords(path);
  if (!f.ok()) return f.status();
  return ParseImage(f.value().bytes, DisplayPath(path));
}

// Writes the image over the file; the original's bytes from tailOffset on
// follow the records unchanged (a negative tailOffset drops them).
Status SaveImage(const std::filesystem::path& path, const Image& image, std::int64_t tailOffset) {
  return ReplaceFileContents(path, [&](FileWriter& w) {
    if (!WriteHeaderAndRecords(w, image.header, image.records)) return false;
    if (tailOffset < 0) return true;
    FileHandle original = OpenForReading(path);
    return original && w.CopyFrom(original.get(), tailOffset);
  });
}

// Cut to at most max bytes without splitting a double-byte character.
std::string CutCp932(std::string bytes, std::size_t max) {
  if (bytes.size() <= max) return bytes;
  std::size_t cut = 0;
  while (cut < max) {
    const std::size_t len = IsCp932LeadByte(static_cast<unsigned char>(bytes[cut])) ? 2 : 1;
    if (cut + len > max) break;
    cut += len;
  }
  bytes.resize(cut);
  return bytes;
}

}  // namespace

std::string RegistrationHeader::Encode() const {
  std::string bytes(kHeaderSize, '\0');
  PutInt16(bytes, 0, version);
  PutInt16(bytes, 2, count);
  PutInt16(bytes, 4, options.interval);
  PutInt16(bytes, 6, options.scheme);
  PutInt16(bytes, 8, options.emphasisOn);
  std::copy(magic.begin(), magic.end(), bytes.begin() + 10);
  PutInt16(bytes, 16, options.order);
  PutInt16(bytes, 18, options.colour);
  PutInt16(bytes, 20, options.layout);
  std::copy(reserved.begin(), reserved.end(), bytes.begin() + 22);
  return bytes;
}

RegistrationHeader RegistrationHeader::Decode(std::string_view bytes) {
  RegistrationHeader h;
  if (bytes.size() < kHeaderSize) return h;
  h.version = GetInt16(bytes, 0);
  h.count = GetInt16(bytes, 2);
  h.options.interval = GetInt16(bytes, 4);
  h.options.scheme = GetInt16(bytes, 6);
  h.options.emphasisOn = GetInt16(bytes, 8);
  std::copy_n(bytes.begin() + 10, 6, h.magic.begin());
  h.options.order = GetInt16(bytes, 16);
  h.options.colour = GetInt16(bytes, 18);
  h.options.layout = GetInt16(bytes, 20);
  std::copy_n(bytes.begin() + 22, 10, h.reserved.begin());
  return h;
}

int RegistrationHeader::MessageCount() const { return std::clamp<int>(count, 0, kMaxMessages); }

std::int64_t WholeRecordsIn(std::int64_t fileSize) {
  if (fileSize < static_cast<std::int64_t>(kHeaderSize)) return 0;
  return (fileSize - static_cast<std::int64_t>(kHeaderSize)) / static_cast<std::int64_t>(kRecordSize);
}

int RecordsPresent(const std::filesystem::path& file) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec) return 0;
  const auto held = WholeRecordsIn(static_cast<std::int64_t>(std::min<std::uintmax_t>(size, std::numeric_limits<std::int64_t>::max())));
  return static_cast<int>(std::min<std::int64_t>(held, kMaxMessages));
}

RecordBytes BlankRecord() {
  RecordBytes r;
  r.fill(' ');
  return r;
}

std::string RecordTextBytes(const RecordBytes& record) {
  std::string bytes(record.data(), kTextHalf);
  bytes.append(record.data() + kSecondHalfOffset, kTextHalf);
  return bytes;
}

std::wstring RecordText(const RecordBytes& record) { return Trim(FromCp932(RecordTextBytes(record))); }

Message RecordMessage(const RecordBytes& record) {
  return Message{RecordText(record), MessageFormat::FromRecord(std::string_view(record.data(), record.size()))};
}

void SetRecordText(RecordBytes& record, std::wstring_view text) {
  const std::string bytes = CutCp932(ToCp932(text), kMaxTextBytes);
  std::fill(record.begin(), record.end(), ' ');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    record[i < kTextHalf ? i : i - kTextHalf + kSecondHalfOffset] = bytes[i];
  }
}

RecordBytes RecordOf(std::wstring_view text) {
  RecordBytes r = BlankRecord();
  SetRecordText(r, text);
  return r;
}

std::wstring MissingFileMessage(std::wstring_view path) {
  return L"ZORANTE 登録ファイル " + std::wstring(path) +
         L" が見つかりません。\r\n設定ダイアログから、ほかの登録ファイルを開くか、新規作成してください。";
}

std::wstring ReadFailureSentence(std::wstring_view path) { return std::wstring(path) + L" を読み込めませんでした。"; }

std::wstring ReadFailureMessage(std::wstring_view path) {
  return ReadFailureSentence(path) + L"他のプログラムが使用中でないか確認してください。";
}

std::wstring NewerVersionMessage(std::wstring_view path) {
  return std::wstring(path) + L" は新しいバージョンのデータ形式なので読み込めません。新しい zorante.scr を入手してください。";
}

std::wstring ForeignFileMessage(std::wstring_view path, OpenedBy by) {
  return std::wstring(path) +
         (by == OpenedBy::kLoad ? L" は ZORANTE の登録ファイルではありません。" : L" は ZORANTE の登録データではありません。");
}

Result<RegistrationHeader> ParseRegistrationHeader(std::span<const char> bytes, std::wstring_view name, OpenedBy by) {
  const std::string_view head(bytes.data(), std::min(bytes.size(), kHeaderSize));
  // The version is checked before the magic: a foreign file whose first two
  // bytes read as 99 or more gets the newer-version message.
  if (head.size() >= 2 && GetInt16(head, 0) >= kFirstRefusedVersion) {
    return Status::Fail(FileError::kNewerVersion, NewerVersionMessage(name));
  }
  // A header cut short is not a registration file, whatever its first bytes say.
  if (head.size() < kHeaderSize || head.substr(10, 6) != kMagic) {
    return Status::Fail(FileError::kForeign, ForeignFileMessage(name, by));
  }
  return RegistrationHeader::Decode(head);
}

Result<std::vector<std::wstring>> ParseMessages(std::span<const char> bytes, std::wstring_view name) {
  const Result<RegistrationHeader> header = ParseRegistrationHeader(bytes, name);
  if (!header.ok()) return header.status();
  const int count = header.value().MessageCount();
  std::vector<std::wstring> texts;
  texts.reserve(static_cast<std::size_t>(count));
  for (int n = 1; n <= count; ++n) {
    const std::span<const char> record = RecordSpan(bytes, n);
    // A record the bytes lack altogether is blanks: no need to decode it.
    texts.push_back(record.empty() ? std::wstring() : RecordText(RecordFrom(record)));
  }
  return texts;
}

Result<Message> ParseMessage(std::span<const char> bytes, int n, std::wstring_view name) {
  const Result<RegistrationHeader> header = ParseRegistrationHeader(bytes, name);
  if (!header.ok()) return header.status();
  const int count = header.value().MessageCount();
  if (n < 1 || n > count) return NoSuchMessage(n, count);
  return RecordMessage(RecordFrom(RecordSpan(bytes, n)));
}

RecordBytes RecordFrom(std::span<const char> bytes) {
  RecordBytes r = BlankRecord();
  std::copy_n(bytes.begin(), std::min(bytes.size(), r.size()), r.begin());
  return r;
}

std::vector<RecordBytes> RecordsFrom(std::span<const char> bytes, int count) {
  std::vector<RecordBytes> records;
  records.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int n = 1; n <= count; ++n) records.push_back(RecordFrom(RecordSpan(bytes, n)));
  return records;
}

std::optional<RecordReader> RecordReader::Open(const std::filesystem::path& path) {
  FileHandle file = OpenForReading(path);
  const std::int64_t size = file ? FileSizeOf(file.get()) : -1;
  if (size < 0) return std::nullopt;
  return RecordReader(std::move(file), size);
}

bool RecordReader::Read(int n, RecordBytes& record) const { return ReadRecord(file_.get(), size_, n, record); }

Result<RegistrationHeader> ValidateRegistrationFile(const std::filesystem::path& path, OpenedBy by) {
  const Result<OpenedFile> f = OpenAndReadHeader(path);
  if (!f.ok()) return f.status();
  return ParseRegistrationHeader(f.value().bytes, DisplayPath(path), by);
}

std::optional<ListedRecords> ReadListedRecords(const std::filesystem::path& path) {
  const FileHandle f = OpenForReading(path);
  ListedRecords listed;
  listed.fileSize = f ? FileSizeOf(f.get()) : -1;
  if (listed.fileSize < static_cast<std::int64_t>(kHeaderSize)) return std::nullopt;
  listed.bytes.resize(static_cast<std::size_t>(std::min(listed.fileSize, RecordsEnd(kMaxMessages))));
  if (ReadAt(f.get(), 0, listed.bytes.data(), listed.bytes.size()) != listed.bytes.size()) return std::nullopt;
  listed.header = RegistrationHeader::Decode(listed.bytes);
  const int count = listed.header.MessageCount();
  listed.bytes.resize(std::min(listed.bytes.size(), static_cast<std::size_t>(RecordsEnd(count))));
  listed.records = RecordsFrom(listed.bytes, count);
  return listed;
}

Status ReplaceRegistrationFile(const std::filesystem::path& path, const RegistrationHeader& header,
                               std::span<const RecordBytes> records) {
  return ReplaceFileContents(path, [&](FileWriter& w) { return WriteHeaderAndRecords(w, header, records); });
}

Status CreateEmptyRegistrationFile(const std::filesystem::path& path) {
  return ReplaceRegistrationFile(path, RegistrationHeader{}, {});
}

Result<RegistrationHeader> OpenRegistrationFile(const std::filesystem::path& path) {
  if (FileExists(path)) return ValidateRegistrationFile(path, OpenedBy::kOpenCommand);
  Status created = CreateEmptyRegistrationFile(path);
  if (!created.ok()) return created;
  return RegistrationHeader{};
}

Result<std::filesystem::path> NewUntitledName(const std::filesystem::path& folder) {
  constexpr int kLast = 99999;
  for (int n = 1; n <= kLast; ++n) {
    std::filesystem::path candidate = folder / PathFromText(L"無題" + std::to_wstring(n) + L".zrd");
    std::error_code ec;
    if (!std::filesystem::exists(candidate, ec) && !ec) return candidate;
  }
  return Status::Fail(FileError::kRefused, DisplayPath(folder) + L" に新しいファイル名を作れません。");
}

Result<std::vector<std::wstring>> ReadMessages(const std::filesystem::path& path) {
  const Result<OpenedFile> f = ReadHeaderAndRecords(path);
  if (!f.ok()) return f.status();
  return ParseMessages(f.value().bytes, DisplayPath(path));
}

Result<Message> ReadMessage(const std::filesystem::path& path, int n) {
  Result<OpenedFile> f = OpenAndReadHeader(path);
  if (!f.ok()) return f.status();
  OpenedFile& opened = f.value();
  const Result<RegistrationHeader> header = ParseRegistrationHeader(opened.bytes, DisplayPath(path));
  if (!header.ok()) return header.status();
  const int count = header.value().MessageCount();
  if (n < 1 || n > count) return NoSuchMessage(n, count);
  RecordBytes record;
  if (!ReadRecord(opened.file.get(), opened.size, n, record)) return Status::Fail(FileError::kRead, ReadFailure(path));
  return RecordMessage(record);
}

std::wstring TextRefusal(std::wstring_view text) {
  if (text.empty()) return L"文章が空です。";
  if (text.find_first_of(L"\r\n") != std::wstring_view::npos) return L"文章に改行は使えません。";
  if (!FitsCp932(text)) return L"文章に Shift_JIS で表せない文字があります。";
  if (!AcceptableMessage(text)) return L"文章が長すぎます（全角３２文字まで　半角９６文字まで）。";
  return {};
}

Status AddMessage(const std::filesystem::path& path, std::wstring_view text) {
  if (std::wstring why = TextRefusal(text); !why.empty()) return Status::Fail(FileError::kRefused, why);
  Result<Image> image = LoadImage(path);
  if (!image.ok()) return image.status();
  Image& im = image.value();
  if (im.header.count >= kMaxMessages) {
    return Status::Fail(FileError::kRefused, L"登録できる文章は " + std::to_wstring(kMaxMessages) + L" 件までです。");
  }
  im.records.push_back(RecordOf(text));
  im.header.count = static_cast<std::int16_t>(im.records.size());
  // The new record takes the place of whatever followed the last one.
  return SaveImage(path, im, RecordOffset(static_cast<int>(im.records.size()) + 1));
}

Status EditMessage(const std::filesystem::path& path, int n, std::wstring_view text) {
  if (std::wstring why = TextRefusal(text); !why.empty()) return Status::Fail(FileError::kRefused, why);
  Result<Image> image = LoadImage(path);
  if (!image.ok()) return image.status();
  Image& im = image.value();
  const int count = static_cast<int>(im.records.size());
  if (n < 1 || n > count) return NoSuchMessage(n, count);
  SetRecordText(im.records[static_cast<std::size_t>(n - 1)], text);
  return SaveImage(path, im, RecordsEnd(count));
}

Status DeleteMessage(const std::filesystem::path& path, int n) {
  Result<Image> image = LoadImage(path);
  if (!image.ok()) return image.status();
  Image& im = image.value();
  const int count = static_cast<int>(im.records.size());
  if (n < 1 || n > count) return NoSuchMessage(n, count);
  im.records.erase(im.records.begin() + (n - 1));
  im.header.count = static_cast<std::int16_t>(im.records.size());
  return SaveImage(path, im, -1);
}

Status MoveMessage(const std::filesystem::path& path, int n, int step) {
  Result<Image> image = LoadImage(path);
  if (!image.ok()) return image.status();
  Image& im = image.value();
  const int count = static_cast<int>(im.records.size());
  if (n < 1 || n > count) return NoSuchMessage(n, count);
  const std::int64_t target = std::clamp<std::int64_t>(std::int64_t{n} + step, 1, count);
  if (target == n) return Status::Ok();
  auto from = im.records.begin() + (n - 1);
  auto to = im.records.begin() + (target - 1);
  if (target < n) {
    std::rotate(to, from, from + 1);
  } else {
    std::rotate(from, from + 1, to + 1);
  }
  return SaveImage(path, im, RecordsEnd(count));
}

Status WriteMessageFormat(const std::filesystem::path& path, int n, const MessageFormat& format) {
  Result<Image> image = LoadImage(path);
  if (!image.ok()) return image.status();
  Image& im = image.value();
  const int count = static_cast<int>(im.records.size());
  if (n < 1 || n > count) return NoSuchMessage(n, count);
  format.WriteTo(im.records[static_cast<std::size_t>(n - 1)].data());
  return SaveImage(path, im, RecordsEnd(count));
}

Status WriteDisplayOptions(const std::filesystem::path& path, const DisplayOptions& options) {
  Result<RegistrationHeader> header = ValidateRegistrationFile(path);
  if (!header.ok()) return header.status();
  RegistrationHeader h = header.value();
  h.options = options;
  const std::string bytes = h.Encode();
  return ReplaceFileContents(path, [&](FileWriter& w) {
    FileHandle original = OpenForReading(path);
    return original && w.Write(bytes) && w.CopyFrom(original.get(), kHeaderSize);
  });
}

Result<RenameOutcome> RenameRegistrationFile(const std::filesystem::path& current,
                                             const std::filesystem::path& renamed) {
  if (renamed.empty() || LowerCase(PathText(renamed)) == LowerCase(PathText(current))) return RenameOutcome::kUnchanged;
  if (!FileExists(current)) return Status::Fail(FileError::kMissing, MissingFileMessage(DisplayPath(current)));
  Status moved = RenameFile(current, renamed);
  if (!moved.ok()) return moved;
  return RenameOutcome::kRenamed;
}

}  // namespace zor

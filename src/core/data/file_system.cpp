#include "core/data/file_system.h"

#include <atomic>
#include <climits>
#include <system_error>
#include <vector>

#include "core/data/file_system_platform.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

FaultHook& Hook() {
  static FaultHook hook;
  return hook;
}

bool Faulted(ReplaceStep step) { return Hook() && Hook()(step); }

enum class Before { kExisted, kAbsent, kUnknown };

Before StateOf(const std::filesystem::path& target) {
  std::error_code ec;
  const bool exists = std::filesystem::exists(target, ec);
  return ec ? Before::kUnknown : exists ? Before::kExisted : Before::kAbsent;
}

// Says only what is true: a target that did not exist was not created (it
// is not "unchanged"), and one that could not be looked at was not written.
std::wstring WriteFailure(const std::filesystem::path& target, Before before) {
  switch (before) {
    case Before::kExisted: return DisplayPath(target) + L" に書き込めませんでした。ファイルは変更されていません。";
    case Before::kAbsent: return DisplayPath(target) + L" を作成できませんでした。";
    case Before::kUnknown: break;
  }
  return DisplayPath(target) + L" に書き込めませんでした。";
}

// A name beside the target that no other file has: the target's name, the
// process-wide counter and ".tmp".
std::filesystem::path TemporaryNameFor(const std::filesystem::path& target, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  const unsigned n = counter.fetch_add(1) + attempt;
  std::filesystem::path name = target;
  name += PathFromText(L"." + std::to_wstring(n) + L".tmp");
  return name;
}

}  // namespace

std::filesystem::path PathFromText(std::wstring_view text) {
  const std::string utf8 = ToUtf8(text);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::wstring PathText(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return FromUtf8(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::wstring DisplayPath(const std::filesystem::path& path) {
  std::filesystem::path preferred = path;
  preferred.make_preferred();
  return PathText(preferred);
}

bool FileExists(const std::filesystem::path& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && !ec;
}

bool SomethingExistsAt(const std::filesystem::path& path) {
  if (path.empty()) return false;
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  return status.type() != std::filesystem::file_type::not_found && status.type() != std::filesystem::file_type::none;
}

std::filesystem::path ProgramFolder() {
  std::filesystem::path folder = platform::ExecutablePath().parent_path();
  folder /= "";  // exactly one trailing separator
  return folder;
}

FileHandle OpenForReading(const std::filesystem::path& path) {
  return FileHandle(platform::OpenFileForReading(path));
}

std::int64_t FileSizeOf(std::FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(f);
  return size < 0 ? -1 : static_cast<std::int64_t>(size);
}

std::size_t ReadAt(std::FILE* f, std::int64_t offset, void* buffer, std::size_t size) {
  if (offset < 0 || offset > static_cast<std::int64_t>(LONG_MAX)) return 0;
  if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return 0;
  return std::fread(buffer, 1, size, f);
}

void SetFaultHookForTesting(FaultHook hook) { Hook() = std::move(hook); }

bool FileWriter::Write(std::string_view bytes) {
  if (Faulted(ReplaceStep::kWriteTemporary)) return false;
  return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f_) == bytes.size();
}

bool FileWriter::CopyFrom(std::FILE* source, std::int64_t offset) {
  if (offset < 0 || offset > static_cast<std::int64_t>(LONG_MAX)) return false;
  if (std::fseek(source, static_cast<long>(offset), SEEK_SET) != 0) return false;
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), source);
    if (n > 0 && !Write(std::string_view(chunk.data(), n))) return false;
    if (n < chunk.size()) return std::ferror(source) == 0;
  }
}

Status ReplaceFileContents(const std::filesystem::path& target, const std::function<bool(FileWriter&)>& produce) {
  const Before before = StateOf(target);
  std::filesystem::path temporary;
  std::FILE* f = nullptr;
  if (!Faulted(ReplaceStep::kCreateTemporary)) {
    for (unsigned attempt = 0; attempt < 100 && f == nullptr; ++attempt) {
      temporary = TemporaryNameFor(target, attempt);
      f = platform::CreateNewFile(temporary);
      std::error_code ec;
      if (f == nullptr && !std::filesystem::exists(temporary, ec)) break;  // not a name clash
    }
  }
  if (f == nullptr) return Status::Fail(FileError::kWrite, WriteFailure(target, before));

  FileWriter writer(f);
  bool good = produce(writer);
  good = good && !Faulted(ReplaceStep::kFlushTemporary) && platform::FlushToDisk(f);
  good = std::fclose(f) == 0 && good;
  good = good && !Faulted(ReplaceStep::kReplace) && platform::ReplaceFileAtomically(temporary, target);
  if (!good) {
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    return Status::Fail(FileError::kWrite, WriteFailure(target, before));
  }
  return Status::Ok();
}

Status RenameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!platform::ReplaceFileAtomically(from, to)) {
    return Status::Fail(FileError::kWrite, DisplayPath(from) + L" の名前を " + DisplayPath(to) +
                                               L" に変更できませんでした。ファイルは変更されていません。");
  }
  return Status::Ok();
}

}  // namespace zor

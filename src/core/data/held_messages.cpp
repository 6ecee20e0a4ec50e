#include "core/data/held_messages.h"

#include <algorithm>
#include <system_error>

namespace zor {

std::optional<FileStamp> StampOf(const std::filesystem::path& file) {
  // Two looks at the file's attributes: file_size fails on anything but a
  // regular file (a folder, a missing name).
  std::error_code ec;
  FileStamp stamp;
  stamp.size = std::filesystem::file_size(file, ec);
  if (ec) return std::nullopt;
  stamp.written = std::filesystem::last_write_time(file, ec);
  if (ec) return std::nullopt;
  return stamp;
}

HeldMessages::Check HeldMessages::Load(const std::filesystem::path& file) {
  file_ = file;
  stamp_.reset();
  loaded_ = false;
  header_ = RegistrationHeader{};
  header_.count = 0;
  messages_.clear();
  return Read();
}

HeldMessages::Check HeldMessages::Refresh() {
  if (file_.empty()) return Check::kUnchanged;
  const std::optional<FileStamp> now = StampOf(file_);
  if (!now) return loaded_ ? Check::kKept : Check::kUnchanged;
  if (now == stamp_) return Check::kUnchanged;
  return Read();
}

HeldMessages::Check HeldMessages::Read() {
  const std::optional<FileStamp> before = StampOf(file_);
  if (!before) return Check::kKept;
  std::optional<ListedRecords> listed = ReadListedRecords(file_);
  if (!listed) return Check::kKept;
  if (!ParseRegistrationHeader(listed->bytes, DisplayPath(file_)).ok()) return Check::kKept;
  // A writer that changes the file in place may be caught half-way: the
  // records the file does not hold whole are not shown, and the stamp taken
  // before the read makes the next check read the file again.
  const int whole = static_cast<int>(std::min<std::int64_t>(WholeRecordsIn(listed->fileSize), kMaxMessages));
  const int count = std::min(listed->header.MessageCount(), whole);
  std::vector<Message> messages;
  messages.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) messages.push_back(RecordMessage(listed->records[static_cast<std::size_t>(i)]));
  header_ = listed->header;
  messages_ = std::move(messages);
  stamp_ = before;
  loaded_ = true;
  return Check::kReread;
}

const Message* HeldMessages::At(int v) const noexcept {
  if (v < 1 || v > Count()) return nullptr;
  return &messages_[static_cast<std::size_t>(v - 1)];
}

}  // namespace zor

// The messages of a registration file as the saver holds them: read whole
// when the saver starts and again, between pages, when the file's stamp
// (its size and last-write time) has changed. A file that vanishes, cannot
// be read or is no longer a registration file leaves the messages held.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/data/registration_file.h"

namespace zor {

struct FileStamp {
  std::uintmax_t size = 0;
  std::filesystem::file_time_type written{};
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of a regular file; none when it is missing or cannot be looked at.
[[nodiscard]] std::optional<FileStamp> StampOf(const std::filesystem::path& file);

class HeldMessages {
 public:
  enum class Check {
    kUnchanged,  // the stamp is the one read last
    kReread,     // the file changed and its messages and header are held now
    kKept,       // the file changed but could not be read: what was held stays
  };

  // Reads the file; kKept (nothing held) when it cannot be read or is not a
  // registration file. A file that does not exist yet is read once it appears.
  Check Load(const std::filesystem::path& file);
  // Looks at the stamp and reads the file again when it changed.
  Check Refresh();

  [[nodiscard]] const std::filesystem::path& File() const noexcept { return file_; }
  [[nodiscard]] bool Loaded() const noexcept { return loaded_; }
  [[nodiscard]] const RegistrationHeader& Header() const noexcept { return header_; }
  // Messages held: the header's count, capped at the records the file held whole.
  [[nodiscard]] int Count() const noexcept { return static_cast<int>(messages_.size()); }
  // Message v (1-based); none outside 1..Count().
  [[nodiscard]] const Message* At(int v) const noexcept;

 private:
  Check Read();

  std::filesystem::path file_;
  std::optional<FileStamp> stamp_;  // of the file as last read
  bool loaded_ = false;
  RegistrationHeader header_;
  std::vector<Message> messages_;
};

}  // namespace zor

// Results of file operations: an error kind and a message the caller can show.
// Nothing in the data layer throws across its interface.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace zor {

enum class FileError {
  kNone,
  kMissing,       // the file does not exist
  kNewerVersion,  // version 99 or above
  kForeign,       // not a registration file (magic, or too short for a header)
  kRead,          // opening or reading failed
  kWrite,         // creating, writing, flushing or replacing failed
  kRefused,       // a rule of the data forbids the change (row, limit, length)
};

class [[nodiscard]] Status {
 public:
  Status() = default;
  static Status Ok() { return {}; }
  static Status Fail(FileError error, std::wstring message) { return Status(error, std::move(message)); }

  [[nodiscard]] bool ok() const { return error_ == FileError::kNone; }
  [[nodiscard]] FileError error() const { return error_; }
  [[nodiscard]] const std::wstring& message() const { return message_; }

 private:
  Status(FileError error, std::wstring message) : error_(error), message_(std::move(message)) {}
  FileError error_ = FileError::kNone;
  std::wstring message_;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  Result(Status status) : status_(std::move(status)) {}  // NOLINT

  [[nodiscard]] bool ok() const { return status_.ok(); }
  [[nodiscard]] const Status& status() const { return status_; }
  [[nodiscard]] const T& value() const { return *value_; }
  [[nodiscard]] T& value() { return *value_; }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace zor

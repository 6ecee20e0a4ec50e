// The settings file read and written as the bytes it holds, in CP932 whatever
// the system's code page (the profile functions of Windows would pass its
// bytes through that code page, which loses some CP932 characters on a
// Korean system, for one). Lines "[section]" and "key=value" are read as the
// profile functions read them: names without regard to the case of ASCII
// letters, blanks around names and values dropped, one pair of quotes around
// a value taken off. A file that begins with a UTF-8 or UTF-16 LE
// byte-order mark is read, and kept, in that form.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/settings.h"

namespace zor {

class SettingsText {
 public:
  explicit SettingsText(std::string_view fileBytes);

  [[nodiscard]] std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const;
  // Sets the key: its line is rewritten, or a line is added after the last
  // one of its section, or the section is added at the end. Every other byte
  // stays. False, with nothing changed, for a value the file cannot hold (a
  // line break, or a character outside the file's encoding).
  [[nodiscard]] bool Write(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // The file's bytes, with its byte-order mark if it had one.
  [[nodiscard]] std::string Bytes() const;

 private:
  enum class Form { kCp932, kUtf8, kUtf16Le };
  [[nodiscard]] std::string Encode(std::wstring_view text) const;
  [[nodiscard]] std::wstring Decode(std::string_view bytes) const;

  Form form_ = Form::kCp932;
  std::string text_;  // without the mark; UTF-16 held as UTF-8
};

// A settings file larger than this is not read (nor written over).
inline constexpr std::size_t kSettingsFileMaxBytes = 16u << 20;

// The store on a settings file: each read reads the file; each write reads
// it, changes the one line and replaces the file in one step, so that a
// failed write leaves it as it was. A file that exists but cannot be read is
// not written over.
class SettingsFileStore final : public ProfileStore {
 public:
  explicit SettingsFileStore(std::filesystem::path file) : file_(std::move(file)) {}
  [[nodiscard]] std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override;
  [[nodiscard]] Status Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;

 private:
  std::filesystem::path file_;
};

}  // namespace zor

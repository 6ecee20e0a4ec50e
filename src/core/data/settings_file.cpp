#include "core/data/settings_file.h"

#include <vector>

#include "core/data/file_system.h"
#include "core/text/cp932.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// One line of the text: where it starts, its content (no line end) and where the next begins.
struct Line {
  std::size_t start = 0;
  std::string_view content;
  std::size_t next = 0;
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    std::string_view content = text.substr(at, stop - at);
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    lines.push_back({at, content, end == std::string_view::npos ? text.size() : end + 1});
    at = lines.back().next;
  }
  return lines;
}

// The decoded UTF-16 file as UTF-8, and back.
std::string Utf16LeToUtf8(std::string_view bytes) {
  std::wstring wide;
  wide.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return ToUtf8(wide);
}

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  for (const wchar_t c : FromUtf8(text)) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return out;
}

}  // namespace

SettingsText::SettingsText(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) {
    form_ = Form::kUtf8;
    text_ = bytes.substr(kUtf8Mark.size());
  } else if (bytes.starts_with(kUtf16LeMark)) {
    form_ = Form::kUtf16Le;
    text_ = Utf16LeToUtf8(bytes.substr(kUtf16LeMark.size()));
  } else {
    text_ = bytes;
  }
}

std::string SettingsText::Encode(std::wstring_view text) const {
  return form_ == Form::kCp932 ? ToCp932(text) : ToUtf8(text);
}

std::wstring SettingsText::Decode(std::string_view bytes) const {
  return form_ == Form::kCp932 ? FromCp932(bytes) : FromUtf8(bytes);
}

std::string SettingsText::Bytes() const {
  switch (form_) {
    case Form::kUtf8: return std::string(kUtf8Mark) + text_;
    case Form::kUtf16Le: return std::string(kUtf16LeMark) + Utf8ToUtf16Le(text_);
    case Form::kCp932: break;
  }
  return text_;
}

namespace {

// The same name but for the case of ASCII letters; in CP932 a second byte is
// compared as it stands.
bool SameName(std::string_view a, std::string_view b, bool cp932) {
  if (a.size() != b.size()) return false;
  bool second = false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const bool fold = !second;
    second = cp932 && !second && IsCp932LeadByte(static_cast<unsigned char>(a[i]));
    if (fold ? FoldAscii(a[i]) != FoldAscii(b[i]) : a[i] != b[i]) return false;
  }
  return true;
}

// The name of a "[name]" line; nullopt for any other line. In CP932 a "]"
// that is the second byte of a character does not end the name.
std::optional<std::string_view> SectionName(std::string_view content, bool cp932) {
  const std::string_view line = Trim(content);
  if (line.empty() || line.front() != '[') return std::nullopt;
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (cp932 && IsCp932LeadByte(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    if (line[i] == ']') return Trim(line.substr(1, i - 1));
  }
  return Trim(line.substr(1));  // no "]": the rest of the line, as the profile functions take it
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> KeyOf(std::string_view content) {
  const std::size_t eq = content.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(content.substr(0, eq)), Trim(content.substr(eq + 1))};
}

}  // namespace

std::optional<std::wstring> SettingsText::Read(std::wstring_view section, std::wstring_view key) const {
  const bool cp932 = form_ == Form::kCp932;
  const std::string wantSection = Encode(section);
  const std::string wantKey = Encode(key);
  bool inSection = false;
  for (const Line& line : Lines(text_)) {
    if (const auto name = SectionName(line.content, cp932)) {
      inSection = SameName(*name, wantSection, cp932);
      continue;
    }
    if (!inSection) continue;
    const auto pair = KeyOf(line.content);
    if (!pair || !SameName(pair->key, wantKey, cp932)) continue;
    std::string_view value = pair->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return Decode(value);
  }
  return std::nullopt;
}

bool SettingsText::Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  if (value.find_first_of(L"\r\n") != std::wstring_view::npos) return false;
  if (form_ == Form::kCp932 && !FitsCp932(value)) return false;
  const bool cp932 = form_ == Form::kCp932;
  const std::string wantSection = Encode(section);
  const std::string wantKey = Encode(key);
  const std::string newLine = wantKey + "=" + Encode(value);
  const std::vector<Line> lines = Lines(text_);
  bool inSection = false;
  std::optional<std::size_t> insertAt;  // after the section's last line that is not blank
  for (const Line& line : lines) {
    if (const auto name = SectionName(line.content, cp932)) {
      if (inSection) break;
      inSection = SameName(*name, wantSection, cp932);
      if (inSection) insertAt = line.next;
      continue;
    }
    if (!inSection) continue;
    if (!Trim(line.content).empty()) insertAt = line.next;
    const auto pair = KeyOf(line.content);
    if (pair && SameName(pair->key, wantKey, cp932)) {
      const std::size_t keyStart = static_cast<std::size_t>(pair->key.data() - text_.data());
      const std::size_t end = line.start + line.content.size();
      text_.replace(keyStart, end - keyStart, std::string(pair->key) + "=" + Encode(value));
      return true;
    }
  }
  if (insertAt) {
    std::string added = newLine + "\r\n";
    // The section's last line had no line end (the file's last line).
    if (*insertAt == text_.size() && !text_.empty() && text_.back() != '\n') added.insert(0, "\r\n");
    text_.insert(*insertAt, added);
    return true;
  }
  if (!text_.empty() && text_.back() != '\n') text_ += "\r\n";
  text_ += "[" + wantSection + "]\r\n" + newLine + "\r\n";
  return true;
}

namespace {

enum class Loaded { kRead, kMissing, kUnreadable };

Loaded LoadBytes(const std::filesystem::path& file, std::string& bytes) {
  FileHandle f = OpenForReading(file);
  if (!f) return SomethingExistsAt(file) ? Loaded::kUnreadable : Loaded::kMissing;
  const std::int64_t size = FileSizeOf(f.get());
  if (size < 0 || static_cast<std::uint64_t>(size) > kSettingsFileMaxBytes) return Loaded::kUnreadable;
  bytes.resize(static_cast<std::size_t>(size));
  if (ReadAt(f.get(), 0, bytes.data(), bytes.size()) != bytes.size()) return Loaded::kUnreadable;
  return Loaded::kRead;
}

}  // namespace

std::optional<std::wstring> SettingsFileStore::Read(std::wstring_view section, std::wstring_view key) const {
  std::string bytes;
  if (LoadBytes(file_, bytes) != Loaded::kRead) return std::nullopt;
  return SettingsText(bytes).Read(section, key);
}

Status SettingsFileStore::Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  const auto failed = [&] { return Status::Fail(FileError::kWrite, PathText(file_) + L" に書き込めませんでした。"); };
  std::string bytes;
  if (LoadBytes(file_, bytes) == Loaded::kUnreadable) return failed();
  SettingsText text(bytes);
  if (!text.Write(section, key, value)) return failed();
  const std::string out = text.Bytes();
  const Status written = ReplaceFileContents(file_, [&](FileWriter& w) { return w.Write(out); });
  return written.ok() ? Status::Ok() : failed();
}

}  // namespace zor

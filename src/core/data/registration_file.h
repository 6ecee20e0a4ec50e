// Registration files (*.zrd): a 32-byte header and 224-byte message records.
// Numbers are 16-bit little-endian; text is CP932, blank-padded.
//
// Header (1-based positions): 1 version, 3 count, 5 interval, 7 colour scheme,
// 9 emphasis on, 11..16 magic "ZORANT", 17 order, 19 emphasis colour,
// 21 layout, 23..32 reserved zeros.
// Record (0-based offsets): 0..63 text bytes 1..64, 64..95 marks, 96..127
// reserved, 128..191 text bytes 65..128, 192..195 codes, 196..223 reserved.
//
// Every change is made to a copy of the file in its own folder that then
// replaces the file in one step, so a failure leaves the file as it was.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/data/file_system.h"
#include "core/data/message_format.h"
#include "core/data/status.h"

namespace zor {

inline constexpr std::size_t kHeaderSize = 32;
inline constexpr std::size_t kRecordSize = 224;
inline constexpr std::size_t kTextHalf = 64;
inline constexpr std::size_t kSecondHalfOffset = 128;
inline constexpr std::size_t kMaxTextBytes = 128;
inline constexpr int kMaxMessages = 500;
inline constexpr std::int16_t kFormatVersion = 98;
inline constexpr std::int16_t kFirstRefusedVersion = 99;
inline constexpr std::string_view kMagic = "ZORANT";

// The per-file display options of the header.
struct DisplayOptions {
  std::int16_t interval = 6000;    // ms between two messages
  std::int16_t scheme = 3;         // 0 white on black, 1 black on white, 2 random, 3 random mostly black
  std::int16_t emphasisOn = -1;    // -1 on, 0 off
  std::int16_t order = 0;          // 0 random, 1 registration order
  std::int16_t colour = 12;        // palette index 1..14
  std::int16_t layout = 0;         // 0 L-shaped, 1 centred, 2 random
  friend bool operator==(const DisplayOptions&, const DisplayOptions&) = default;
};

struct RegistrationHeader {
  std::int16_t version = kFormatVersion;
  std::int16_t count = 0;
  DisplayOptions options;
  std::array<char, 6> magic{'Z', 'O', 'R', 'A', 'N', 'T'};
  std::array<char, 10> reserved{};

  [[nodiscard]] std::string Encode() const;
  // bytes must hold 32 bytes.
  [[nodiscard]] static RegistrationHeader Decode(std::string_view bytes);
  // The count as the program uses it: 0..500 (a negative count is 0, more than 500 is 500).
  [[nodiscard]] int MessageCount() const;
};

using RecordBytes = std::array<char, kRecordSize>;

// Where record n (1-based) begins in the file.
[[nodiscard]] constexpr std::int64_t RecordOffset(int n) {
  return static_cast<std::int64_t>(kHeaderSize) + (n - 1) * static_cast<std::int64_t>(kRecordSize);
}
// Where records 1..count end: the size of a file that holds exactly them.
[[nodiscard]] constexpr std::int64_t RecordsEnd(int count) { return RecordOffset(count + 1); }
// The records a file of fileSize bytes holds whole (0 when it is shorter than a header).
[[nodiscard]] std::int64_t WholeRecordsIn(std::int64_t fileSize);
// The records the file holds whole, at most 500; 0 when its size cannot be told.
[[nodiscard]] int RecordsPresent(const std::filesystem::path& file);

// A record of blanks: empty text, default format.
[[nodiscard]] RecordBytes BlankRecord();
// The text of a record: both halves joined, then decoded, then trimmed of blanks.
[[nodiscard]] std::wstring RecordText(const RecordBytes& record);
// Stores a text: CP932, at most 128 bytes (never half a character), offsets
// 64..223 blanked first, so the format goes back to its defaults.
void SetRecordText(RecordBytes& record, std::wstring_view text);
// A blank record holding the text.
[[nodiscard]] RecordBytes RecordOf(std::wstring_view text);
// The 128 text bytes of a record: both halves joined, undecoded.
[[nodiscard]] std::string RecordTextBytes(const RecordBytes& record);

// Which command validates the file: the foreign-file message differs.
enum class OpenedBy { kLoad, kOpenCommand };

[[nodiscard]] std::wstring MissingFileMessage(std::wstring_view path);
// A file that is there but cannot be opened or read (kRead).
[[nodiscard]] std::wstring ReadFailureMessage(std::wstring_view path);
// The first sentence of ReadFailureMessage alone, as the import and export say it.
[[nodiscard]] std::wstring ReadFailureSentence(std::wstring_view path);
[[nodiscard]] std::wstring NewerVersionMessage(std::wstring_view path);
[[nodiscard]] std::wstring ForeignFileMessage(std::wstring_view path, OpenedBy by);

struct Message {
  std::wstring text;
  MessageFormat format;
};

// The message a record holds: its text trimmed and its format bytes.
[[nodiscard]] Message RecordMessage(const RecordBytes& record);

// The byte layer: the same rules on the first bytes of a file held in
// memory (bytes[0] is position 1); name is the file as messages show it.
// Bytes a record lacks read as blanks, as they do from a short file.

// Checks version (first) and magic of the header in the bytes.
[[nodiscard]] Result<RegistrationHeader> ParseRegistrationHeader(std::span<const char> bytes, std::wstring_view name,
                                                                 OpenedBy by = OpenedBy::kLoad);
// The texts of records 1..MessageCount() after a valid header.
[[nodiscard]] Result<std::vector<std::wstring>> ParseMessages(std::span<const char> bytes, std::wstring_view name);
// Message n (1-based, within the count) after a valid header.
[[nodiscard]] Result<Message> ParseMessage(std::span<const char> bytes, int n, std::wstring_view name);
// A record from the bytes that begin at its offset; what they lack is blanks.
[[nodiscard]] RecordBytes RecordFrom(std::span<const char> bytes);
// Records 1..count of bytes that begin at position 1; what they lack is blanks.
[[nodiscard]] std::vector<RecordBytes> RecordsFrom(std::span<const char> bytes, int count);

// A registration file opened to read its records one by one; the caller
// decides how many, from the header's count and WholeRecords().
class RecordReader {
 public:
  // None when the file cannot be opened or its size told.
  [[nodiscard]] static std::optional<RecordReader> Open(const std::filesystem::path& path);
  [[nodiscard]] std::int64_t Size() const { return size_; }
  // The records the file holds whole.
  [[nodiscard]] std::int64_t WholeRecords() const { return WholeRecordsIn(size_); }
  // Record n (1-based) as the file holds it, the part it lacks blanks; false when reading fails.
  [[nodiscard]] bool Read(int n, RecordBytes& record) const;

 private:
  RecordReader(FileHandle file, std::int64_t size) : file_(std::move(file)), size_(size) {}
  FileHandle file_;
  std::int64_t size_ = 0;
};

// The file layer: reads only the bytes the rule needs (the header, then the
// records within the count or the one record asked for) and parses them.

// Checks version (first) and magic; returns the header.
[[nodiscard]] Result<RegistrationHeader> ValidateRegistrationFile(const std::filesystem::path& path,
                                                                  OpenedBy by = OpenedBy::kLoad);

// The header and the records within its count (at most 500) as one read from
// the file's start found them, unvalidated: the bytes read, cut after the
// last counted record, and the file's size. Records the file lacks, wholly
// or in part, are blanks.
struct ListedRecords {
  RegistrationHeader header;
  std::vector<RecordBytes> records;
  std::string bytes;
  std::int64_t fileSize = 0;
};
// None when the file cannot be opened or read, or is shorter than a header.
[[nodiscard]] std::optional<ListedRecords> ReadListedRecords(const std::filesystem::path& path);

// Writes a file made of the header and the records, replacing any file of that name.
[[nodiscard]] Status ReplaceRegistrationFile(const std::filesystem::path& path, const RegistrationHeader& header,
                                             std::span<const RecordBytes> records);
// Writes a file made of the default header alone (an existing file is reset).
[[nodiscard]] Status CreateEmptyRegistrationFile(const std::filesystem::path& path);

// The "open" command: an existing file is validated, a missing one created empty.
[[nodiscard]] Result<RegistrationHeader> OpenRegistrationFile(const std::filesystem::path& path);

// folder / "無題" n ".zrd" for the first n from 1 that names no file.
[[nodiscard]] Result<std::filesystem::path> NewUntitledName(const std::filesystem::path& folder);

// The messages of the file, record order, trimmed, at most 500; records the
// count claims but the file lacks read as empty texts.
[[nodiscard]] Result<std::vector<std::wstring>> ReadMessages(const std::filesystem::path& path);

// Message n (1-based, within the count), read from the header and that
// record alone. A record the count claims but the file lacks, wholly or in
// part, reads as blanks: empty text, default format.
[[nodiscard]] Result<Message> ReadMessage(const std::filesystem::path& path, int n);

// Why a text cannot be stored (empty when it can): the length rule, a line
// break, or a character code page 932 cannot hold.
[[nodiscard]] std::wstring TextRefusal(std::wstring_view text);

// Appends a message (refused at 500 messages or when TextRefusal objects).
[[nodiscard]] Status AddMessage(const std::filesystem::path& path, std::wstring_view text);
// New text for message n; its format goes back to the defaults.
[[nodiscard]] Status EditMessage(const std::filesystem::path& path, int n, std::wstring_view text);
// Removes message n; the file is then exactly 32 + 224 × count bytes.
[[nodiscard]] Status DeleteMessage(const std::filesystem::path& path, int n);
// Moves message n by step rows (negative = up), clamped at the ends, the
// messages in between shifting by one. A move that goes nowhere changes nothing.
[[nodiscard]] Status MoveMessage(const std::filesystem::path& path, int n, int step);
[[nodiscard]] Status WriteMessageFormat(const std::filesystem::path& path, int n, const MessageFormat& format);
// Writes the six option fields (positions 5, 7, 9, 17, 19, 21) and nothing else.
[[nodiscard]] Status WriteDisplayOptions(const std::filesystem::path& path, const DisplayOptions& options);

// Renames the file in use. Nothing happens when the names differ only in
// letter case; an existing file of the new name is replaced.
enum class RenameOutcome { kUnchanged, kRenamed };
[[nodiscard]] Result<RenameOutcome> RenameRegistrationFile(const std::filesystem::path& current,
                                                           const std::filesystem::path& renamed);

}  // namespace zor

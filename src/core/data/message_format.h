// The per-message format bytes of a registration record: 32 emphasis marks at
// record offsets 64..95 and four codes at 192 (fold), 193 (emphasis mode),
// 194 (fold kind) and 195 (fixed layout).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zor {

inline constexpr std::size_t kMarkCount = 32;
inline constexpr std::size_t kMarksOffset = 64;
inline constexpr std::size_t kFoldOffset = 192;
inline constexpr std::size_t kModeOffset = 193;
inline constexpr std::size_t kKindOffset = 194;
inline constexpr std::size_t kLayoutOffset = 195;

inline constexpr char kMarkOn = 'A';
inline constexpr char kModeMarked = 'R';

// The fold position a stored fold byte stands for: "!".."@" give 1..32,
// anything else 0 (automatic).
[[nodiscard]] constexpr std::int16_t DecodeFoldPosition(char byte) noexcept {
  const auto code = static_cast<unsigned char>(byte);
  return code >= 33 && code <= 64 ? static_cast<std::int16_t>(code - 32) : std::int16_t{0};
}

enum class EmphasisMode { kRandom, kMarked, kNone };
enum class FoldKind { kNone, kA, kB, kC, kD };
enum class FixedLayout { kNone, kA, kB, kC };

struct MessageFormat {
  std::array<char, kMarkCount> marks;
  char fold = ' ';
  char mode = ' ';
  char kind = ' ';
  char layout = ' ';

  MessageFormat() { marks.fill(' '); }

  // The format bytes of a 224-byte record.
  [[nodiscard]] static MessageFormat FromRecord(std::string_view record);
  // Writes the marks, then the mode, fold, kind and layout bytes into a record.
  void WriteTo(char* record) const;

  // Character k (1-based) is marked "A".
  [[nodiscard]] bool Marked(std::size_t k) const { return k >= 1 && k <= kMarkCount && marks[k - 1] == kMarkOn; }
  // 1..32, or 0 when the fold is chosen automatically.
  [[nodiscard]] int FoldPosition() const;
  [[nodiscard]] EmphasisMode Emphasis() const;
  [[nodiscard]] FoldKind Kind() const;
  [[nodiscard]] FixedLayout Layout() const;

  // Setters write the bytes the format dialog's "OK" writes for the same choice.
  void SetMarked(std::size_t k, bool on);
  void ClearMarks() { marks.fill(' '); }
  void SetEmphasis(EmphasisMode m) { mode = m == EmphasisMode::kMarked ? kModeMarked : ' '; }
  // Automatic fold: a blank fold byte and a 0x00 kind.
  void SetAutoFold() {
    fold = ' ';
    kind = '\0';
  }
  // Fold at character k (1..32) with a kind; kNone is written as 0x00, as a fresh marker.
  void SetFold(int k, FoldKind foldKind);
  void SetLayout(FixedLayout l);

  friend bool operator==(const MessageFormat&, const MessageFormat&) = default;
};

// The fold kind letter "A".."D", or 0x00 for none.
[[nodiscard]] char FoldKindByte(FoldKind kind);

}  // namespace zor

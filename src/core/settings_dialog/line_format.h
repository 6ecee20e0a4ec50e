// The line format dialog: the 32 character cells of a message with their
// emphasis marks, the fold marker under one cell, random emphasis, automatic
// fold and the fixed layout, and the format bytes its OK writes. zortool's
// "format" command sets the same state through the direct setters.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/data/message_format.h"

namespace zor {

inline constexpr int kFormatCells = static_cast<int>(kMarkCount);

// Marker pictures: a kind-less triangle, an empty cell, and kinds A to D.
inline constexpr int kTrianglePicture = 0;
inline constexpr int kEmptyPicture = 1;
[[nodiscard]] constexpr int MarkerPictureOf(char kind) noexcept {
  const std::size_t at = std::string_view("ABCD").find(kind);
  return at == std::string_view::npos ? kTrianglePicture : 2 + static_cast<int>(at);
}

// The kind after a click on the marker's own cell: other, A, C, B, D, blank.
[[nodiscard]] constexpr char NextFoldKind(char kind) noexcept {
  const std::size_t at = std::string_view("ACBD").find(kind);
  return at == std::string_view::npos ? 'A' : "ACBD "[at + 1];
}

struct FormatCell {
  bool shown = false;           // one per character of a wholly full-width text
  std::wstring character;       // its caption
  bool red = false;             // emphasis colour (palette 12), else black
  bool hasMarker = false;       // its fold-marker cell holds the marker
  char markerKind = '\0';       // its tag: 'A'..'D', ' ' or '\0' (or a stored byte kept as it was)
  int picture = kEmptyPicture;  // marker picture shown in its fold-marker cell
};

struct LineFormatView {
  std::array<FormatCell, kMarkCount> cells;
  bool randomChecked = false;  // "色強調ランダム"
  bool randomEnabled = false;
  bool autoFoldChecked = false;  // "折れ位置自動決定"
  bool autoFoldEnabled = false;
  int layout = 0;  // fixed layout option 0..3: not fixed, "A", "B", "C"
};

class LineFormatModel {
 public:
  // text: the message (trimmed here too); stored: its format bytes;
  // emphasisOn: the file's emphasis flag.
  LineFormatModel(std::wstring_view text, const MessageFormat& stored, bool emphasisOn);

  [[nodiscard]] LineFormatView View() const;
  // Character cells shown: the characters of a wholly full-width text (at most 32), else 0.
  [[nodiscard]] int CellCount() const { return cellCount_; }
  [[nodiscard]] bool HalfWidth() const { return halfWidth_; }
  [[nodiscard]] bool EmphasisOn() const { return emphasisOn_; }

  // Dialog events; a click the dialog ignores changes nothing.
  void ClickCharacter(int i);            // a character cell: toggles mark "A"
  void ClickMarker(int i);               // a fold-marker cell: places, moves or steps the fold marker
  void SetRandomEmphasis(bool checked);  // "色強調ランダム"
  void SetAutoFold(bool checked);        // "折れ位置自動決定": the marker is put aside and comes back
  void SelectLayout(int option);         // fixed layout option 0..3
  void ClickLayoutPicture(int i) { SelectLayout(i + 1); }  // the picture beside option i + 1

  // Direct setters (zortool): the state the clicks above would reach. Each
  // returns false and changes nothing when the dialog could not make that choice.
  // Marks on exactly these cells (0-based): needs emphasis on and character cells.
  [[nodiscard]] bool SetMarks(std::span<const int> cells);
  // The fold at a character cell, automatic fold off; the marker keeps its
  // kind (or takes the one unchecking automatic fold brings back) unless a kind is given.
  [[nodiscard]] bool PlaceFold(int cell, std::optional<char> kind = std::nullopt);
  // The kind of the fold marker in place (not while the fold is automatic).
  [[nodiscard]] bool SetFoldKind(char kind);
  [[nodiscard]] bool HasFold() const { return !autoFold_ && markerCell_ >= 0; }

  // The bytes OK writes.
  [[nodiscard]] MessageFormat Bytes() const;

 private:
  [[nodiscard]] bool CellShown(int i) const { return i >= 0 && i < cellCount_; }
  [[nodiscard]] bool MarksEditable() const { return emphasisOn_ && !random_; }

  std::array<std::wstring, kMarkCount> characters_;
  int cellCount_ = 0;
  bool halfWidth_ = false;
  bool emphasisOn_ = false;
  std::array<char, kMarkCount> marks_{};
  bool random_ = false;
  bool autoFold_ = false;
  int markerCell_ = -1;  // the one cell holding a marker, or -1
  char markerKind_ = '\0';
  int savedCell_ = 0;  // the marker put aside while the fold is automatic
  char savedKind_ = ' ';
  int layout_ = 0;
};

}  // namespace zor

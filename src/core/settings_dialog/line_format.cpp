#include "core/settings_dialog/line_format.h"

#include <algorithm>
#include <vector>

#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

LineFormatModel::LineFormatModel(std::wstring_view text, const MessageFormat& stored, bool emphasisOn)
    : emphasisOn_(emphasisOn), marks_(stored.marks) {
  const std::wstring t = Trim(text);
  halfWidth_ = ContainsHalfWidth(t);
  if (!halfWidth_) {
    const std::vector<char32_t> cps = CodePoints(t);
    cellCount_ = static_cast<int>(std::min(cps.size(), kMarkCount));
    for (int i = 0; i < cellCount_; ++i)
      AppendCodePoint(characters_[static_cast<std::size_t>(i)], cps[static_cast<std::size_t>(i)]);
  }
  random_ = stored.mode == ' ';
  // A message with a half-width character has its fold decided automatically.
  const int fold = halfWidth_ ? 0 : stored.FoldPosition();
  if (fold > 0) {
    markerCell_ = fold - 1;
    markerKind_ = stored.kind;
  } else {
    autoFold_ = true;
  }
  switch (stored.layout) {
    case 'A':
      layout_ = 1;
      break;
    case 'B':
      layout_ = 2;
      break;
    case 'C':
      layout_ = 3;
      break;
    default:
      layout_ = 0;
      break;
  }
}

LineFormatView LineFormatModel::View() const {
  LineFormatView v;
  for (int i = 0; i < kFormatCells; ++i) {
    FormatCell& c = v.cells[static_cast<std::size_t>(i)];
    c.shown = CellShown(i);
    c.character = characters_[static_cast<std::size_t>(i)];
    c.red = c.shown && MarksEditable() && marks_[static_cast<std::size_t>(i)] == kMarkOn;
    c.hasMarker = i == markerCell_;
    if (c.hasMarker) {
      c.markerKind = markerKind_;
      c.picture = MarkerPictureOf(markerKind_);
    }
  }
  v.randomChecked = random_;
  v.randomEnabled = emphasisOn_ && !halfWidth_;
  v.autoFoldChecked = autoFold_;
  v.autoFoldEnabled = !halfWidth_;
  v.layout = layout_;
  return v;
}

void LineFormatModel::ClickCharacter(int i) {
  if (!CellShown(i) || !MarksEditable()) return;
  char& mark = marks_[static_cast<std::size_t>(i)];
  mark = mark == kMarkOn ? ' ' : kMarkOn;
}

void LineFormatModel::ClickMarker(int i) {
  if (autoFold_ || !CellShown(i)) return;
  // The marker is lifted; a click on its own cell steps its kind, elsewhere it moves with its kind.
  const bool hit = markerCell_ == i;
  char kind = markerCell_ >= 0 ? markerKind_ : '\0';
  if (hit) kind = NextFoldKind(kind);
  markerCell_ = i;
  markerKind_ = kind;
}

void LineFormatModel::SetRandomEmphasis(bool checked) {
  if (!emphasisOn_ || halfWidth_) return;
  random_ = checked;
}

void LineFormatModel::SetAutoFold(bool checked) {
  if (halfWidth_ || checked == autoFold_) return;
  autoFold_ = checked;
  if (checked) {
    if (markerCell_ >= 0) {
      savedCell_ = markerCell_;
      savedKind_ = markerKind_;
    }
    markerCell_ = -1;
  } else {
    // The marker comes back where it was with its kind; the first time, kind-less under character 1.
    markerCell_ = savedCell_;
    markerKind_ = savedKind_;
  }
}

void LineFormatModel::SelectLayout(int option) {
  if (option >= 0 && option <= 3) layout_ = option;
}

bool LineFormatModel::SetMarks(std::span<const int> cells) {
  if (!emphasisOn_ || halfWidth_) return false;
  if (!std::all_of(cells.begin(), cells.end(), [&](int i) { return CellShown(i); })) return false;
  std::fill(marks_.begin(), marks_.end(), ' ');
  for (int i : cells) marks_[static_cast<std::size_t>(i)] = kMarkOn;
  return true;
}

bool LineFormatModel::PlaceFold(int cell, std::optional<char> kind) {
  if (halfWidth_ || !CellShown(cell)) return false;
  SetAutoFold(false);
  if (markerCell_ != cell) ClickMarker(cell);
  if (kind) markerKind_ = *kind;
  return true;
}

bool LineFormatModel::SetFoldKind(char kind) {
  if (!HasFold()) return false;
  markerKind_ = kind;
  return true;
}

MessageFormat LineFormatModel::Bytes() const {
  MessageFormat f;
  f.marks = marks_;
  f.mode = random_ ? ' ' : kModeMarked;
  if (autoFold_) {
    f.SetAutoFold();
  } else if (markerCell_ >= 0) {
    f.fold = static_cast<char>(33 + markerCell_);
    f.kind = markerKind_;
  } else {
    f.fold = '\0';
    f.kind = '\0';
  }
  constexpr char kLayouts[] = {' ', 'A', 'B', 'C'};
  f.layout = kLayouts[layout_];
  return f;
}

}  // namespace zor

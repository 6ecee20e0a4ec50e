#include "core/data/message_format.h"

#include <algorithm>

namespace zor {

MessageFormat MessageFormat::FromRecord(std::string_view record) {
  MessageFormat f;
  if (record.size() <= kLayoutOffset) return f;
  std::copy_n(record.begin() + kMarksOffset, kMarkCount, f.marks.begin());
  f.fold = record[kFoldOffset];
  f.mode = record[kModeOffset];
  f.kind = record[kKindOffset];
  f.layout = record[kLayoutOffset];
  return f;
}

void MessageFormat::WriteTo(char* record) const {
  std::copy(marks.begin(), marks.end(), record + kMarksOffset);
  record[kModeOffset] = mode;
  record[kFoldOffset] = fold;
  record[kKindOffset] = kind;
  record[kLayoutOffset] = layout;
}

int MessageFormat::FoldPosition() const { return DecodeFoldPosition(fold); }

EmphasisMode MessageFormat::Emphasis() const {
  if (mode == kModeMarked) return EmphasisMode::kMarked;
  if (mode == ' ') return EmphasisMode::kRandom;
  return EmphasisMode::kNone;
}

FoldKind MessageFormat::Kind() const {
  switch (kind) {
    case 'A': return FoldKind::kA;
    case 'B': return FoldKind::kB;
    case 'C': return FoldKind::kC;
    case 'D': return FoldKind::kD;
    default: return FoldKind::kNone;
  }
}

FixedLayout MessageFormat::Layout() const {
  switch (layout) {
    case 'A': return FixedLayout::kA;
    case 'B': return FixedLayout::kB;
    case 'C': return FixedLayout::kC;
    default: return FixedLayout::kNone;
  }
}

void MessageFormat::SetMarked(std::size_t k, bool on) {
  if (k >= 1 && k <= kMarkCount) marks[k - 1] = on ? kMarkOn : ' ';
}

void MessageFormat::SetFold(int k, FoldKind foldKind) {
  if (k < 1 || k > static_cast<int>(kMarkCount)) {
    SetAutoFold();
    return;
  }
  fold = static_cast<char>(32 + k);
  kind = FoldKindByte(foldKind);
}

void MessageFormat::SetLayout(FixedLayout l) {
  switch (l) {
    case FixedLayout::kA: layout = 'A'; break;
    case FixedLayout::kB: layout = 'B'; break;
    case FixedLayout::kC: layout = 'C'; break;
    case FixedLayout::kNone: layout = ' '; break;
  }
}

char FoldKindByte(FoldKind kind) {
  switch (kind) {
    case FoldKind::kA: return 'A';
    case FoldKind::kB: return 'B';
    case FoldKind::kC: return 'C';
    case FoldKind::kD: return 'D';
    case FoldKind::kNone: break;
  }
  return '\0';
}

}  // namespace zor

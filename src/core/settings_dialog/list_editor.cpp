#include "core/settings_dialog/list_editor.h"

#include <algorithm>
#include <optional>

#include "core/data/file_system.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/paths.h"

namespace zor {

namespace {

constexpr int kTitleWidth = 20;
// A file of 500 messages is about 110 KB; the undo history keeps no larger
// file (only bytes after the records could make one).
constexpr std::int64_t kMaxHistoryFileSize = std::int64_t{1} << 20;
// Edit's selection after the re-read: the last row.
constexpr int kLastRow = -2;

// FNV-1a: a change anywhere in the listed bytes changes the fingerprint.
std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t h = 0xCBF29CE484222325u;
  for (char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001B3u;
  }
  return h;
}

// Both halves joined and decoded; trailing blanks dropped, leading ones kept.
std::wstring RowText(const RecordBytes& r) {
  std::wstring text = FromCp932(RecordTextBytes(r));
  text.erase(text.find_last_not_of(L' ') + 1);
  return text;
}

// The whole file, for the undo history; none when it cannot be read or is
// larger than the history keeps.
std::optional<std::string> WholeFile(const std::filesystem::path& path) {
  FileHandle f = OpenForReading(path);
  if (!f) return std::nullopt;
  const std::int64_t size = FileSizeOf(f.get());
  if (size < 0 || size > kMaxHistoryFileSize) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (ReadAt(f.get(), 0, bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

// The text as a row lists it: trailing blanks dropped.
std::wstring_view TrimmedRight(std::wstring_view text) {
  const std::size_t end = text.find_last_not_of(L' ');
  return end == std::wstring_view::npos ? std::wstring_view() : text.substr(0, end + 1);
}

}  // namespace

// The header and the listed records of a file as one read found them.
struct ListEditor::Snapshot {
  RegistrationHeader header;
  std::vector<RecordBytes> records;
  Fingerprint fingerprint;
};

Result<ListEditor::Snapshot> ListEditor::ReadListed(const std::filesystem::path& path) {
  Result<RegistrationHeader> valid = ValidateRegistrationFile(path);
  if (!valid.ok()) return valid.status();
  std::optional<ListedRecords> listed = ReadListedRecords(path);
  if (!listed) return Status::Fail(FileError::kRead, ReadFailureMessage(DisplayPath(path)));
  // The header as this read found it: the file may have changed since the validation.
  return Snapshot{listed->header, std::move(listed->records), Fingerprint{Fnv1a(listed->bytes), listed->fileSize}};
}

Result<ListEditor::Snapshot> ListEditor::ReadInUse() {
  Result<Snapshot> snapshot = ReadListed(path_);
  if (!snapshot.ok()) DropUnlessUnreadable(snapshot.status());
  return snapshot;
}

LoadOutcome ListEditor::Load(const std::filesystem::path& path) {
  SetNoFile();
  if (path.empty()) return {LoadOutcome::kMissing, MissingFileMessage(L"")};
  const Status s = UseFile(path);
  switch (s.error()) {
    case FileError::kNone:
      return {LoadOutcome::kLoaded, {}};
    case FileError::kMissing:
      return {LoadOutcome::kMissing, s.message()};
    case FileError::kRead:
      return {LoadOutcome::kUnreadable, s.message()};
    default:
      return {LoadOutcome::kRefused, s.message()};
  }
}

void ListEditor::SetNoFile() {
  path_.clear();
  header_ = RegistrationHeader{};
  rows_.clear();
  fingerprint_ = {};
  selected_ = -1;
  open_ = false;
  history_.Clear();
}

Status ListEditor::UseFile(const std::filesystem::path& path) {
  const Result<Snapshot> snapshot = ReadListed(path);
  if (!snapshot.ok()) return snapshot.status();
  path_ = path;
  history_.Clear();
  Adopt(snapshot.value());
  return Status::Ok();
}

Status ListEditor::FollowRename(const std::filesystem::path& path) {
  path_ = path;
  history_.Clear();
  return Reload();
}

void ListEditor::DropUnlessUnreadable(const Status& failure) {
  if (failure.error() != FileError::kRead) SetNoFile();
}

void ListEditor::Adopt(const Snapshot& snapshot) {
  header_ = snapshot.header;
  rows_.clear();
  rows_.reserve(snapshot.records.size());
  for (const RecordBytes& r : snapshot.records) rows_.push_back(RowText(r));
  fingerprint_ = snapshot.fingerprint;
  selected_ = -1;
  open_ = true;
}

Status ListEditor::Reload() {
  const Result<Snapshot> snapshot = ReadInUse();
  if (!snapshot.ok()) return snapshot.status();
  Adopt(snapshot.value());
  return Status::Ok();
}

void ListEditor::Select(int row) { selected_ = open_ && row >= 0 && row < Count() ? row : -1; }

EditorView ListEditor::View() const {
  EditorView v;
  v.state = !open_ ? EditorState::kNoFile : selected_ < 0 ? EditorState::kFile : EditorState::kRowSelected;
  v.renameEnabled = open_;
  v.optionsEnabled = open_;
  v.addEnabled = open_ && Count() < kMaxMessages;
  v.rowButtonsEnabled = v.state == EditorState::kRowSelected;
  v.thumbnailsVisible = v.rowButtonsEnabled;
  v.selectedTextEnabled = v.rowButtonsEnabled;
  v.undoEnabled = open_ && history_.CanUndo();
  v.redoEnabled = open_ && history_.CanRedo();
  if (selected_ >= 0) v.selectedText = rows_[static_cast<std::size_t>(selected_)];
  v.selected = selected_;
  v.countLabel = std::to_wstring(Count());
  v.fileLabel = open_ ? ShortenTitle(PathText(path_.filename()), kTitleWidth) : std::wstring(kNoFileTitle);
  return v;
}

Status ListEditor::CheckUnchanged() {
  const Result<Snapshot> now = ReadInUse();
  if (!now.ok()) return now.status();
  if (now.value().fingerprint == fingerprint_) return Status::Ok();
  Adopt(now.value());
  // The steps no longer lead from the file as it now is.
  history_.Clear();
  return Status::Fail(FileError::kRefused, std::wstring(kStaleFileMessage));
}

void ListEditor::RecoverAfter(int selectedBefore) {
  const Fingerprint before = fingerprint_;
  if (Reload().ok() && fingerprint_ == before) Select(selectedBefore);
}

Status ListEditor::RowCommand(int row) const {
  if (!open_) return Status::Fail(FileError::kRefused, std::wstring(kNoFileOpenMessage));
  if (row < 0 || row >= Count()) return Status::Fail(FileError::kRefused, std::wstring(kNoRowSelectedMessage));
  return Status::Ok();
}

template <class Write>
Status ListEditor::Edit(int selectAfter, int undoRow, Write write) {
  if (!open_) return Status::Fail(FileError::kRefused, std::wstring(kNoFileOpenMessage));
  if (Status fresh = CheckUnchanged(); !fresh.ok()) return fresh;
  const int before = selected_;
  std::optional<std::string> bytesBefore = WholeFile(path_);
  if (Status written = write(); !written.ok()) {
    RecoverAfter(before);
    return written;
  }
  if (Status reread = Reload(); !reread.ok()) return reread;
  Select(selectAfter == kLastRow ? Count() - 1 : selectAfter);
  std::optional<std::string> bytesAfter = WholeFile(path_);
  if (bytesBefore && bytesAfter) {
    history_.Record(std::move(*bytesBefore), std::move(*bytesAfter), undoRow, selected_);
  } else {
    history_.Clear();
  }
  return Status::Ok();
}

Status ListEditor::Undo() { return StepHistory(false); }
Status ListEditor::Redo() { return StepHistory(true); }

Status ListEditor::StepHistory(bool forward) {
  if (!open_) return Status::Fail(FileError::kRefused, std::wstring(kNoFileOpenMessage));
  if (forward ? !history_.CanRedo() : !history_.CanUndo()) return Status::Ok();
  if (Status fresh = CheckUnchanged(); !fresh.ok()) return fresh;
  // The fingerprint covers the listed bytes only; a step needs the whole file as the last one left it.
  const std::optional<std::string> now = WholeFile(path_);
  if (!now || *now != history_.Current()) {
    history_.Clear();
    const Status reread = Reload();
    return reread.ok() ? Status::Fail(FileError::kRefused, std::wstring(kStaleFileMessage)) : reread;
  }
  const EditHistory::Target target = forward ? history_.RedoTarget() : history_.UndoTarget();
  const int before = selected_;
  if (Status written = ReplaceFileContents(path_, [&](FileWriter& w) { return w.Write(target.bytes); });
      !written.ok()) {
    RecoverAfter(before);
    return written;
  }
  const int row = target.row;
  if (forward) {
    history_.StepForward();
  } else {
    history_.StepBack();
  }
  if (Status reread = Reload(); !reread.ok()) return reread;
  Select(row);
  return Status::Ok();
}

Status ListEditor::Add(std::wstring_view text) {
  return Edit(kLastRow, -1, [&] { return AddMessage(path_, text); });
}

Status ListEditor::Correct(std::wstring_view text) {
  const int r = selected_;
  if (Status s = RowCommand(r); !s.ok()) return s;
  if (TextRefusal(text).empty() && TrimmedRight(text) == rows_[static_cast<std::size_t>(r)]) return CheckUnchanged();
  return Edit(r, r, [&] { return EditMessage(path_, r + 1, text); });
}

Status ListEditor::Delete() {
  const int r = selected_;
  if (Status s = RowCommand(r); !s.ok()) return s;
  return Edit(-1, r, [&] { return DeleteMessage(path_, r + 1); });
}

Status ListEditor::Move(MoveKind kind) {
  const int r = selected_;
  if (Status s = RowCommand(r); !s.ok()) return s;
  const int target = MoveTarget(kind, r, Count() - 1);
  if (target == r) return Status::Ok();
  return Edit(target, r, [&] { return MoveMessage(path_, r + 1, target - r); });
}

Status ListEditor::Drag(int fromRow, int toRow) {
  if (fromRow == toRow) return Status::Ok();
  if (Status s = RowCommand(fromRow); !s.ok()) return s;
  const int target = std::clamp(toRow, 0, Count() - 1);
  if (target == fromRow) return Status::Ok();
  return Edit(target, fromRow, [&] { return MoveMessage(path_, fromRow + 1, target - fromRow); });
}

Status ListEditor::WriteFormat(const MessageFormat& format) {
  const int r = selected_;
  if (Status s = RowCommand(r); !s.ok()) return s;
  return Edit(r, r, [&] { return WriteMessageFormat(path_, r + 1, format); });
}

Status ListEditor::WriteOptions(const DisplayOptions& options) {
  return Edit(selected_, selected_, [&] { return WriteDisplayOptions(path_, options); });
}

Result<Message> ListEditor::SelectedMessage() {
  const int r = selected_;
  if (Status s = RowCommand(r); !s.ok()) return s;
  const Result<Snapshot> now = ReadInUse();
  if (!now.ok()) return now.status();
  if (now.value().fingerprint != fingerprint_) {
    Adopt(now.value());
    return Status::Fail(FileError::kRefused, std::wstring(kStaleFileMessage));
  }
  return RecordMessage(now.value().records[static_cast<std::size_t>(r)]);
}

int RowAtY(int y, int itemHeight, int topIndex, int rowCount) {
  const int h = std::max(itemHeight, 1);
  // Rounded down, so a point above the list names the row above the top one.
  const int below = y >= 0 ? y / h : -((-y + h - 1) / h);
  const long long row = std::min<long long>(static_cast<long long>(topIndex) + below, rowCount - 1LL);
  return static_cast<int>(std::max<long long>(row, 0));
}

int MoveTarget(MoveKind kind, int r, int last) {
  switch (kind) {
    case MoveKind::kUp:
      return r > 0 ? r - 1 : r;
    case MoveKind::kDown:
      return r < last ? r + 1 : r;
    case MoveKind::kUpTen:
      return r > 0 ? std::max(r - 10, 0) : r;
    case MoveKind::kDownTen:
      return r < last ? std::min(r + 10, last) : r;
  }
  return r;
}

}  // namespace zor

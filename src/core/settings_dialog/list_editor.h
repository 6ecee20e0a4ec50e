// The message list editor: the list of a registration file's messages, the
// enabled state of the editor's controls, and the edits, each written to the
// file at once. The list is only a view of the file: the file is read whole
// once per reload, and an edit is refused (and the list re-read) when the
// file changed on disk since then, so a row never acts on another message.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/message_format.h"
#include "core/data/registration_file.h"
#include "core/data/status.h"
#include "core/settings_dialog/edit_history.h"

namespace zor {

inline constexpr std::wstring_view kStaleFileMessage =
    L"登録ファイルがほかのプログラムで変更されています。一覧を読み直しました。";
inline constexpr std::wstring_view kNoFileOpenMessage = L"登録ファイルが開かれていません。";
inline constexpr std::wstring_view kNoRowSelectedMessage = L"文章が選択されていません。";

enum class EditorState { kNoFile, kFile, kRowSelected };

struct EditorView {
  EditorState state = EditorState::kNoFile;
  bool renameEnabled = false;      // menu "登録ファイル名の変更"
  bool optionsEnabled = false;     // menu "オプション"
  bool addEnabled = false;         // "追加": a file is open and holds fewer than 500 messages
  bool rowButtonsEnabled = false;  // delete, correct, format and the four moves
  bool thumbnailsVisible = false;  // the six layout thumbnails and their caption
  bool undoEnabled = false;        // menu "元に戻す"
  bool redoEnabled = false;        // menu "やり直し"
  bool selectedTextEnabled =
      false;                  // the mirror of the row while one is selected (the view disables it again on focus loss)
  std::wstring selectedText;  // the selected row's text, as listed
  int selected = -1;          // selected row or -1
  std::wstring countLabel;    // the message count
  std::wstring fileLabel;     // the shortened file title, or the "create a file" hint
};

enum class MoveKind { kUp, kDown, kUpTen, kDownTen };

struct LoadOutcome {
  // kUnreadable: the file is there but could not be opened or read.
  enum Kind { kLoaded, kMissing, kRefused, kUnreadable } kind;
  std::wstring message;  // empty when loaded
};

class ListEditor {
 public:
  // The dialog's load step for path (may be empty). A valid file is listed
  // (kLoaded); a missing file or an empty path gives kMissing with the
  // missing-file message (the caller shows it, then offers the open dialog);
  // a newer or foreign file gives kRefused, one that cannot be opened or
  // read kUnreadable, each with its message. Anything but kLoaded leaves
  // the editor in the no-file state.
  LoadOutcome Load(const std::filesystem::path& path);
  void SetNoFile();
  // A validated or newly created file becomes the one in use and is listed.
  // On failure the file in use, its rows and history stay as they were.
  // Loading, emptying or using a file starts a new undo history.
  [[nodiscard]] Status UseFile(const std::filesystem::path& path);
  // The file in use was renamed to path: it is listed under that name with
  // a new history; a failure is as Reload's.
  [[nodiscard]] Status FollowRename(const std::filesystem::path& path);
  // Rows re-read from the file, nothing selected. A file that is missing or
  // no longer a registration file puts the editor in the no-file state; one
  // that cannot be opened or read keeps the rows and selection listed.
  [[nodiscard]] Status Reload();
  // -1 (or any row outside the list) selects nothing.
  void Select(int row);

  [[nodiscard]] EditorView View() const;
  // Row texts: the stored text decoded, trailing blanks removed, leading
  // blanks kept. Records the header counts but the file lacks are empty rows.
  [[nodiscard]] const std::vector<std::wstring>& Rows() const { return rows_; }
  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
  [[nodiscard]] const RegistrationHeader& Header() const { return header_; }
  // The header count, 0..500 (a count above 500 lists the first 500).
  [[nodiscard]] int Count() const { return static_cast<int>(rows_.size()); }
  [[nodiscard]] int Selected() const { return selected_; }
  [[nodiscard]] bool HasFile() const { return open_; }

  // Edits. Each checks first that the file is unchanged since the rows were
  // read, writes through the data layer, re-reads the list and selects: add
  // the new last row, correct and format the same row, moves the target
  // row, delete nothing. On failure the status says why (a sentence fit for
  // a message box) and the list is re-read from the file as it now is; the
  // selection stays when the file is unchanged.
  [[nodiscard]] Status Add(std::wstring_view text);
  // Selected row; its format goes back to the defaults, unless the text is
  // the row's own: then nothing is written.
  [[nodiscard]] Status Correct(std::wstring_view text);
  [[nodiscard]] Status Delete();                         // selected row
  // Selected row; a move that goes nowhere writes nothing and returns Ok.
  [[nodiscard]] Status Move(MoveKind kind);
  // The message of fromRow moves to toRow (clamped to the list), the rows in
  // between shifting by one; the same row does nothing.
  [[nodiscard]] Status Drag(int fromRow, int toRow);
  [[nodiscard]] Status WriteFormat(const MessageFormat& format);  // selected row
  // The six header options (the options dialog's OK); the selection stays.
  [[nodiscard]] Status WriteOptions(const DisplayOptions& options);

  // Every edit above can be undone and redone: the file gets back its exact
  // bytes from before (after) the edit, through the same checks and
  // replacement as an edit, and the row the edit touched is selected. When
  // another program changed the file the step is refused like an edit and
  // the history dropped. With nothing to undo (redo) they return Ok.
  [[nodiscard]] Status Undo();
  [[nodiscard]] Status Redo();

  // The selected row's message read fresh from the file (text trimmed, format
  // bytes), for the line format dialog and the test display. Refused like an
  // edit when the file changed.
  [[nodiscard]] Result<Message> SelectedMessage();

  struct Fingerprint {
    std::uint64_t hash = 0;
    std::int64_t size = -1;
    friend bool operator==(const Fingerprint&, const Fingerprint&) = default;
  };

 private:
  struct Snapshot;
  // Validates the file, then reads the header and the records it lists in
  // one read; the fingerprint covers those bytes and the file's size.
  [[nodiscard]] static Result<Snapshot> ReadListed(const std::filesystem::path& path);
  // The same of the file in use; a failure is handled as DropUnlessUnreadable says.
  [[nodiscard]] Result<Snapshot> ReadInUse();
  void Adopt(const Snapshot& snapshot);
  // After a failed read: the no-file state, unless the file is there but
  // could not be read, which keeps the list (the next read may succeed).
  void DropUnlessUnreadable(const Status& failure);
  // Ok when the file still has the fingerprint of the listed rows; otherwise the
  // list is re-read (or emptied) and the refusal returned.
  [[nodiscard]] Status CheckUnchanged();
  // After a failed write: the list re-read; the selection kept when the
  // file is unchanged.
  void RecoverAfter(int selectedBefore);
  [[nodiscard]] Status RowCommand(int row) const;
  // An edit that writes with write, then selects selectAfter; its undo selects undoRow.
  template <class Write>
  [[nodiscard]] Status Edit(int selectAfter, int undoRow, Write write);
  [[nodiscard]] Status StepHistory(bool forward);

  std::filesystem::path path_;
  RegistrationHeader header_;
  std::vector<std::wstring> rows_;
  Fingerprint fingerprint_;
  int selected_ = -1;
  bool open_ = false;
  EditHistory history_;
};

// The list row under a mouse position y (pixels from the list's client top):
// topIndex + y / itemHeight rounded down, at most rowCount - 1, never
// negative (0 for an empty list).
[[nodiscard]] int RowAtY(int y, int itemHeight, int topIndex, int rowCount);

// Target row of a move from row r, with last the list's last row; r itself
// when the move does nothing.
[[nodiscard]] int MoveTarget(MoveKind kind, int r, int last);

}  // namespace zor

#include "core/settings_dialog/list_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

#include "core/data/file_system.h"
#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// A file of the given header count and texts (records as the entry form writes them).
std::string FileWith(std::int16_t count, const std::vector<std::wstring>& texts) {
  RegistrationHeader h;
  h.count = count;
  std::string bytes = h.Encode();
  for (const std::wstring& t : texts) {
    RecordBytes r = BlankRecord();
    SetRecordText(r, t);
    bytes.append(r.data(), r.size());
  }
  return bytes;
}

std::vector<std::wstring> Numbered(int n) {
  std::vector<std::wstring> v;
  for (int i = 0; i < n; ++i) v.push_back(L"m" + std::to_wstring(i));
  return v;
}

std::string Why(const Status& s) { return ToCp932(s.message()); }

class ListEditorTest : public ::testing::Test {
 protected:
  // Writes n numbered messages (row r holds "m<r>") and loads them.
  void LoadNumbered(int n) {
    WriteBytes(file_, FileWith(static_cast<std::int16_t>(n), Numbered(n)));
    ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded);
  }
  // Row r of the list as the numbers of the messages it shows.
  std::vector<std::wstring> Rows() const { return editor_.Rows(); }

  TempFolder dir_;
  std::filesystem::path file_ = dir_ / "list.zrd";
  ListEditor editor_;
};

TEST_F(ListEditorTest, LoadOutcomes) {
  RegistrationHeader h;
  std::string newer = h.Encode();
  newer[0] = 99;
  std::string lower = h.Encode();
  lower.replace(10, 6, "zorant");
  struct Case {
    const char* what;
    std::optional<std::string> bytes;  // nullopt: no file
    LoadOutcome::Kind kind;
    std::wstring message;
  };
  const std::wstring name = PathText(file_);
  const Case cases[] = {
      {"valid", FileWith(1, {L"一"}), LoadOutcome::kLoaded, L""},
      {"missing", std::nullopt, LoadOutcome::kMissing, MissingFileMessage(name)},
      {"newer", newer, LoadOutcome::kRefused, NewerVersionMessage(name)},
      {"foreign", lower, LoadOutcome::kRefused, ForeignFileMessage(name, OpenedBy::kLoad)},
      {"header cut short", h.Encode().substr(0, 20), LoadOutcome::kRefused, ForeignFileMessage(name, OpenedBy::kLoad)},
      {"empty file", "", LoadOutcome::kRefused, ForeignFileMessage(name, OpenedBy::kLoad)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(file_);
    if (c.bytes) WriteBytes(file_, *c.bytes);
    const LoadOutcome out = editor_.Load(file_);
    EXPECT_EQ(out.kind, c.kind);
    EXPECT_EQ(out.message, c.message);
    EXPECT_EQ(editor_.View().state, c.kind == LoadOutcome::kLoaded ? EditorState::kFile : EditorState::kNoFile);
    EXPECT_EQ(editor_.Path().empty(), c.kind != LoadOutcome::kLoaded);
    if (c.bytes) {
      EXPECT_EQ(ReadBytes(file_), *c.bytes);
    }
  }
  // An empty path is a missing file with an empty name.
  const LoadOutcome none = editor_.Load({});
  EXPECT_EQ(none.kind, LoadOutcome::kMissing);
  EXPECT_EQ(none.message, MissingFileMessage(L""));
}

TEST_F(ListEditorTest, AFileThatCannotBeUsedLeavesTheFileInUseAsItWas) {
  LoadNumbered(3);
  editor_.Select(1);
  const auto folder = dir_ / "folder.zrd";
  const auto foreign = dir_ / "foreign.zrd";
  std::filesystem::create_directory(folder);
  WriteBytes(foreign, std::string(40, '\0'));
  const std::vector<std::pair<std::filesystem::path, FileError>> cases = {
      {folder, FileError::kRead}, {foreign, FileError::kForeign}, {dir_ / "none.zrd", FileError::kMissing}};
  for (const auto& [path, error] : cases) {
    SCOPED_TRACE(PathText(path));
    EXPECT_EQ(editor_.UseFile(path).error(), error);
    EXPECT_EQ(editor_.Path(), file_);
    EXPECT_EQ(Rows(), Numbered(3));
    EXPECT_EQ(editor_.Selected(), 1);
  }
}

TEST_F(ListEditorTest, ViewOfEachState) {
  struct Expect {
    EditorState state;
    bool menus, add, rowButtons;
    int selected;
    std::wstring selectedText, count;
  };
  const auto check = [&](const Expect& e) {
    const EditorView v = editor_.View();
    EXPECT_EQ(v.state, e.state);
    EXPECT_EQ(v.renameEnabled, e.menus);
    EXPECT_EQ(v.optionsEnabled, e.menus);
    EXPECT_EQ(v.addEnabled, e.add);
    EXPECT_EQ(v.rowButtonsEnabled, e.rowButtons);
    EXPECT_EQ(v.thumbnailsVisible, e.rowButtons);
    EXPECT_EQ(v.selectedTextEnabled, e.rowButtons);
    EXPECT_EQ(v.selected, e.selected);
    EXPECT_EQ(v.selectedText, e.selectedText);
    EXPECT_EQ(v.countLabel, e.count);
  };
  {
    SCOPED_TRACE("no file");
    check({EditorState::kNoFile, false, false, false, -1, L"", L"0"});
    EXPECT_EQ(editor_.View().fileLabel, kNoFileTitle);
  }
  LoadNumbered(3);
  {
    SCOPED_TRACE("file");
    check({EditorState::kFile, true, true, false, -1, L"", L"3"});
    EXPECT_EQ(editor_.View().fileLabel, L"list.zrd");
  }
  editor_.Select(1);
  {
    SCOPED_TRACE("row selected");
    check({EditorState::kRowSelected, true, true, true, 1, L"m1", L"3"});
  }
  editor_.Select(3);
  {
    SCOPED_TRACE("a row beyond the list selects nothing");
    check({EditorState::kFile, true, true, false, -1, L"", L"3"});
  }
  editor_.Select(2);
  ASSERT_TRUE(editor_.Delete().ok());
  {
    SCOPED_TRACE("after a delete");
    check({EditorState::kFile, true, true, false, -1, L"", L"2"});
  }
  editor_.SetNoFile();
  {
    SCOPED_TRACE("no file again");
    check({EditorState::kNoFile, false, false, false, -1, L"", L"0"});
  }
}

TEST_F(ListEditorTest, AddIsOfferedBelow500Messages) {
  struct Case {
    std::int16_t headerCount;
    int records;
    int rows;
    bool add;
  };
  const Case cases[] = {{499, 499, 499, true}, {500, 500, 500, false}, {600, 600, 500, false}, {-3, 0, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.headerCount);
    WriteBytes(file_, FileWith(c.headerCount, Numbered(c.records)));
    ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded);
    EXPECT_EQ(editor_.Count(), c.rows);
    EXPECT_EQ(editor_.View().addEnabled, c.add);
    EXPECT_EQ(editor_.View().countLabel, std::to_wstring(c.rows));
  }
  // 500 messages: one delete offers the add again.
  LoadNumbered(500);
  EXPECT_FALSE(editor_.Add(L"x").ok());
  editor_.Select(0);
  ASSERT_TRUE(editor_.Delete().ok());
  EXPECT_TRUE(editor_.View().addEnabled);
}

TEST_F(ListEditorTest, RowsKeepLeadingBlanksAndShowMissingRecordsEmpty) {
  std::string bytes = FileWith(4, {L"  先頭に空白", L"末尾に空白   ", L"ab"});
  bytes.resize(bytes.size() - 100);  // the third record cut short: its second half is gone
  WriteBytes(file_, bytes);
  ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded);
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"  先頭に空白", L"末尾に空白", L"ab", L""}));
  editor_.Select(0);
  EXPECT_EQ(editor_.View().selectedText, L"  先頭に空白");
  // A record the file lacks is listed empty and acts as record 4.
  editor_.Select(3);
  ASSERT_TRUE(editor_.Correct(L"四").ok());
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"  先頭に空白", L"末尾に空白", L"ab", L"四"}));
  EXPECT_EQ(ReadBytes(file_).size(), 32u + 4 * 224);
}

TEST_F(ListEditorTest, FileLabelIsTheShortenedTitle) {
  const std::filesystem::path longName = dir_ / PathFromText(L"とても長い名前の登録ファイルですよ本当に長い.zrd");
  WriteBytes(longName, FileWith(0, {}));
  ASSERT_EQ(editor_.Load(longName).kind, LoadOutcome::kLoaded);
  EXPECT_EQ(editor_.View().fileLabel, L"とても長い名前の登録ファイルですよ本当に...");
}

TEST_F(ListEditorTest, MovesSelectTheirTarget) {
  struct Case {
    int rows;
    int from;
    MoveKind kind;
    int target;
  };
  const Case cases[] = {
      {12, 5, MoveKind::kUp, 4},       {12, 5, MoveKind::kDown, 6},     {12, 3, MoveKind::kUpTen, 0},
      {12, 11, MoveKind::kUpTen, 1},   {12, 1, MoveKind::kDownTen, 11}, {500, 495, MoveKind::kDownTen, 499},
      {12, 0, MoveKind::kDownTen, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.target));
    LoadNumbered(c.rows);
    editor_.Select(c.from);
    ASSERT_TRUE(editor_.Move(c.kind).ok());
    std::vector<std::wstring> expected = Numbered(c.rows);
    const auto from = expected.begin() + c.from;
    const auto to = expected.begin() + c.target;
    if (c.target < c.from)
      std::rotate(to, from, from + 1);
    else
      std::rotate(from, from + 1, to + 1);
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(editor_.View().selected, c.target);
    EXPECT_EQ(editor_.View().state, EditorState::kRowSelected);
  }
}

TEST_F(ListEditorTest, MovesPastTheEndsWriteNothing) {
  const std::pair<int, MoveKind> cases[] = {
      {0, MoveKind::kUp}, {0, MoveKind::kUpTen}, {4, MoveKind::kDown}, {4, MoveKind::kDownTen}};
  for (const auto& [row, kind] : cases) {
    LoadNumbered(5);
    const std::string before = ReadBytes(file_);
    const auto stamp = std::filesystem::last_write_time(file_);
    editor_.Select(row);
    EXPECT_TRUE(editor_.Move(kind).ok());
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_EQ(std::filesystem::last_write_time(file_), stamp);
    EXPECT_EQ(editor_.View().selected, row);
  }
}

TEST_F(ListEditorTest, DragMovesTheMessagesBetween) {
  struct Case {
    int from, to;
    std::vector<int> order;
    int selected;
  };
  const Case cases[] = {
      {2, 7, {0, 1, 3, 4, 5, 6, 7, 2, 8, 9}, 7},
      {8, 1, {0, 8, 1, 2, 3, 4, 5, 6, 7, 9}, 1},
      {3, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -1},   // the start row: nothing
      {9, 42, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -1},  // already at the end it moves towards
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " onto " + std::to_string(c.to));
    LoadNumbered(10);
    ASSERT_TRUE(editor_.Drag(c.from, c.to).ok());
    std::vector<std::wstring> expected;
    for (int i : c.order) expected.push_back(L"m" + std::to_wstring(i));
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(editor_.View().selected, c.selected);
  }
  // Released below the last row: the mouse position names the last row.
  LoadNumbered(10);
  ASSERT_TRUE(editor_.Drag(2, RowAtY(1000, 16, 0, editor_.Count())).ok());
  EXPECT_EQ(Rows().back(), L"m2");
  EXPECT_EQ(editor_.View().selected, 9);
}

TEST_F(ListEditorTest, AddCorrectDeleteAndFormat) {
  LoadNumbered(3);
  ASSERT_TRUE(editor_.Add(L"新しい文章").ok());
  EXPECT_EQ(editor_.View().selected, 3);
  EXPECT_EQ(editor_.View().selectedText, L"新しい文章");
  EXPECT_EQ(editor_.View().countLabel, L"4");

  MessageFormat f;
  f.SetMarked(2, true);
  f.SetEmphasis(EmphasisMode::kMarked);
  f.SetFold(3, FoldKind::kC);
  f.SetLayout(FixedLayout::kB);
  editor_.Select(1);
  ASSERT_TRUE(editor_.WriteFormat(f).ok());
  EXPECT_EQ(editor_.View().selected, 1);
  Result<Message> m = editor_.SelectedMessage();
  ASSERT_TRUE(m.ok()) << Why(m.status());
  EXPECT_EQ(m.value().text, L"m1");
  EXPECT_EQ(m.value().format, f);

  // The same text (trailing blanks aside) writes nothing and keeps the format; another text resets it.
  const std::string formatted = ReadBytes(file_);
  ASSERT_TRUE(editor_.Correct(L"m1  ").ok());
  EXPECT_EQ(ReadBytes(file_), formatted);
  EXPECT_EQ(editor_.View().selected, 1);
  ASSERT_TRUE(editor_.Correct(L"m1 x").ok());
  m = editor_.SelectedMessage();
  ASSERT_TRUE(m.ok());
  EXPECT_EQ(m.value().text, L"m1 x");
  EXPECT_EQ(m.value().format, MessageFormat());

  ASSERT_TRUE(editor_.Delete().ok());
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"m0", L"m2", L"新しい文章"}));
  EXPECT_EQ(editor_.View().selected, -1);
  EXPECT_EQ(ReadBytes(file_).size(), 32u + 3 * 224);

  // Commands that need a row do nothing without one.
  const std::string before = ReadBytes(file_);
  EXPECT_EQ(editor_.Delete().message(), kNoRowSelectedMessage);
  EXPECT_EQ(editor_.Correct(L"x").message(), kNoRowSelectedMessage);
  EXPECT_EQ(editor_.Move(MoveKind::kUp).message(), kNoRowSelectedMessage);
  EXPECT_EQ(editor_.WriteFormat(f).message(), kNoRowSelectedMessage);
  EXPECT_FALSE(editor_.SelectedMessage().ok());
  EXPECT_EQ(ReadBytes(file_), before);
  editor_.SetNoFile();
  EXPECT_EQ(editor_.Add(L"x").message(), kNoFileOpenMessage);
  EXPECT_EQ(ReadBytes(file_), before);
}

TEST_F(ListEditorTest, OptionsAreWrittenAndTheSelectionStays) {
  LoadNumbered(3);
  editor_.Select(2);
  DisplayOptions o;
  o.interval = 2000;
  o.colour = 3;
  ASSERT_TRUE(editor_.WriteOptions(o).ok());
  EXPECT_EQ(editor_.Header().options, o);
  EXPECT_EQ(editor_.View().selected, 2);
  // The editor's own write is no change "by another program".
  ASSERT_TRUE(editor_.Delete().ok());
}

// Another program changed the file since the list was read: every command
// on a row is refused, the file keeps the other program's bytes and the list
// shows them, nothing selected.
TEST_F(ListEditorTest, EditsOfAChangedFileAreRefused) {
  const std::vector<std::pair<const char*, std::function<Status(ListEditor&)>>> commands = {
      {"add", [](ListEditor& e) { return e.Add(L"x"); }},
      {"correct", [](ListEditor& e) { return e.Correct(L"x"); }},
      {"delete", [](ListEditor& e) { return e.Delete(); }},
      {"up", [](ListEditor& e) { return e.Move(MoveKind::kUp); }},
      {"down ten", [](ListEditor& e) { return e.Move(MoveKind::kDownTen); }},
      {"drag", [](ListEditor& e) { return e.Drag(1, 0); }},
      {"format", [](ListEditor& e) { return e.WriteFormat(MessageFormat()); }},
      {"options", [](ListEditor& e) { return e.WriteOptions(DisplayOptions()); }},
      {"read", [](ListEditor& e) { return e.SelectedMessage().status(); }},
  };
  // Changes of the same size too: a message of equal length edited, two messages swapped.
  const std::vector<std::pair<const char*, std::function<Status()>>> changes = {
      {"same-size edit", [&] { return EditMessage(file_, 2, L"mX"); }},
      {"swap", [&] { return MoveMessage(file_, 1, 1); }},
      {"delete", [&] { return DeleteMessage(file_, 3); }},
      {"options", [&] { return WriteDisplayOptions(file_, DisplayOptions{.interval = 1000}); }},
  };
  for (const auto& [what, command] : commands) {
    for (const auto& [how, change] : changes) {
      SCOPED_TRACE(std::string(what) + " after " + how);
      LoadNumbered(4);
      editor_.Select(1);
      ASSERT_TRUE(change().ok());
      const std::string changed = ReadBytes(file_);
      const Status s = command(editor_);
      EXPECT_EQ(s.message(), kStaleFileMessage);
      EXPECT_EQ(ReadBytes(file_), changed);
      EXPECT_EQ(editor_.View().state, EditorState::kFile);
      Result<std::vector<std::wstring>> now = ReadMessages(file_);
      ASSERT_TRUE(now.ok());
      EXPECT_EQ(Rows(), now.value());
      // The list now matches the file: the next edit goes through.
      editor_.Select(0);
      EXPECT_TRUE(command(editor_).ok());
    }
  }
}

TEST_F(ListEditorTest, FailedWritesKeepTheFileAndTheList) {
  for (ReplaceStep step : {ReplaceStep::kCreateTemporary, ReplaceStep::kWriteTemporary, ReplaceStep::kFlushTemporary,
                           ReplaceStep::kReplace}) {
    LoadNumbered(4);
    editor_.Select(2);
    const std::string before = ReadBytes(file_);
    SetFaultHookForTesting([step](ReplaceStep s) { return s == step; });
    const Status moved = editor_.Move(MoveKind::kUp);
    const Status deleted = editor_.Delete();
    const Status added = editor_.Add(L"x");
    SetFaultHookForTesting(nullptr);
    for (const Status& s : {moved, deleted, added}) {
      EXPECT_EQ(s.error(), FileError::kWrite);
      EXPECT_FALSE(s.message().empty());
    }
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_EQ(Rows(), Numbered(4));
    EXPECT_EQ(editor_.View().selected, 2) << "the file is unchanged: the selection stays";
    EXPECT_EQ(dir_.EntryCount(), 1u) << "no temporary file left behind";
  }
}

TEST_F(ListEditorTest, AVanishedOrSpoiledFileEndsInTheNoFileState) {
  const std::vector<std::pair<const char*, std::function<void()>>> spoils = {
      {"removed", [&] { std::filesystem::remove(file_); }},
      {"garbage", [&] { WriteBytes(file_, std::string(300, '\xEE')); }},
      {"truncated", [&] { WriteBytes(file_, FileWith(4, {}).substr(0, 10)); }},
  };
  for (const auto& [what, spoil] : spoils) {
    SCOPED_TRACE(what);
    LoadNumbered(4);
    editor_.Select(1);
    spoil();
    const Status s = editor_.Delete();
    EXPECT_FALSE(s.ok());
    EXPECT_FALSE(s.message().empty());
    EXPECT_EQ(editor_.View().state, EditorState::kNoFile);
    EXPECT_TRUE(editor_.Path().empty());
    EXPECT_TRUE(Rows().empty());
  }
}

// A file that cannot be read for a while keeps the list; once it can, the
// edit goes through.
TEST_F(ListEditorTest, AnEditOfAFileThatCannotBeReadKeepsTheList) {
  LoadNumbered(4);
  editor_.Select(1);
  const std::string bytes = ReadBytes(file_);
  std::filesystem::remove(file_);
  std::filesystem::create_directory(file_);
  const Status refused = editor_.Delete();
  EXPECT_EQ(refused.error(), FileError::kRead);
  EXPECT_EQ(refused.message(), ReadFailureMessage(DisplayPath(file_)));
  EXPECT_EQ(editor_.View().state, EditorState::kRowSelected);
  EXPECT_EQ(Rows(), Numbered(4));

  std::filesystem::remove(file_);
  WriteBytes(file_, bytes);
  ASSERT_TRUE(editor_.Delete().ok());
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"m0", L"m2", L"m3"}));
}

// --- undo and redo -----------------------------------------------------------

// Each edit undone gives back the file's exact bytes (also those after the
// records, which a delete drops) and selects the row it touched; redone, the
// edit's own bytes and selection. Each load starts a new history.
TEST_F(ListEditorTest, EveryEditIsUndoneAndRedoneToTheExactBytes) {
  MessageFormat f;
  f.SetLayout(FixedLayout::kC);
  const std::vector<std::tuple<const char*, std::function<Status(ListEditor&)>, int, int>> cases = {
      {"add", [](ListEditor& e) { return e.Add(L"追加"); }, -1, 12},
      {"correct", [](ListEditor& e) { return e.Correct(L"訂正"); }, 5, 5},
      {"delete", [](ListEditor& e) { return e.Delete(); }, 5, -1},
      {"down ten", [](ListEditor& e) { return e.Move(MoveKind::kDownTen); }, 5, 11},
      {"drag", [](ListEditor& e) { return e.Drag(5, 1); }, 5, 1},
      {"format", [&f](ListEditor& e) { return e.WriteFormat(f); }, 5, 5},
      {"options", [](ListEditor& e) { return e.WriteOptions(DisplayOptions{.interval = 1500}); }, 5, 5},
  };
  for (const auto& [what, edit, undoRow, redoRow] : cases) {
    SCOPED_TRACE(what);
    WriteBytes(file_, FileWith(12, Numbered(12)) + "tail");
    ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded);
    EXPECT_FALSE(editor_.View().undoEnabled);
    editor_.Select(5);
    const std::string before = ReadBytes(file_);
    ASSERT_TRUE(edit(editor_).ok());
    const std::string after = ReadBytes(file_);
    EXPECT_TRUE(editor_.View().undoEnabled);
    ASSERT_TRUE(editor_.Undo().ok());
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_EQ(Rows(), Numbered(12));
    EXPECT_EQ(editor_.Selected(), undoRow);
    EXPECT_FALSE(editor_.View().undoEnabled);
    EXPECT_TRUE(editor_.View().redoEnabled);
    ASSERT_TRUE(editor_.Redo().ok());
    EXPECT_EQ(ReadBytes(file_), after);
    EXPECT_EQ(editor_.Selected(), redoRow);
    EXPECT_EQ(dir_.EntryCount(), 1u) << "no temporary file left behind";
  }
}

// Also a change after the records, which leaves the list as it was.
TEST_F(ListEditorTest, AnUndoOfAFileChangedElsewhereIsRefusedAndTheHistoryDropped) {
  for (bool tail : {false, true}) {
    SCOPED_TRACE(tail ? "tail" : "same-size edit");
    LoadNumbered(4);
    editor_.Select(1);
    ASSERT_TRUE(editor_.Move(MoveKind::kDown).ok());
    WriteBytes(file_, tail ? ReadBytes(file_) + "x" : FileWith(4, {L"m0", L"mX", L"m1", L"m3"}));
    const std::string changed = ReadBytes(file_);
    EXPECT_EQ(editor_.Undo().message(), kStaleFileMessage);
    EXPECT_EQ(ReadBytes(file_), changed);
    EXPECT_EQ(Rows(), ReadMessages(file_).value());
    EXPECT_FALSE(editor_.View().undoEnabled);
  }
}

TEST_F(ListEditorTest, AFailedUndoKeepsTheFileAndCanBeTriedAgain) {
  LoadNumbered(3);
  editor_.Select(2);
  const std::string before = ReadBytes(file_);
  ASSERT_TRUE(editor_.Delete().ok());
  const std::string after = ReadBytes(file_);
  SetFaultHookForTesting([](ReplaceStep s) { return s == ReplaceStep::kReplace; });
  EXPECT_EQ(editor_.Undo().error(), FileError::kWrite);
  SetFaultHookForTesting(nullptr);
  EXPECT_EQ(ReadBytes(file_), after);
  ASSERT_TRUE(editor_.Undo().ok());
  EXPECT_EQ(ReadBytes(file_), before);
}

TEST(ListEditorGeometry, RowAtY) {
  struct Case {
    int y, itemHeight, topIndex, rowCount, row;
  };
  const Case cases[] = {
      {0, 16, 0, 10, 0},  {15, 16, 0, 10, 0}, {16, 16, 0, 10, 1}, {40, 16, 3, 10, 5}, {1000, 16, 0, 10, 9},
      {-1, 16, 4, 10, 3}, {-1, 16, 0, 10, 0}, {50, 16, 0, 0, 0},  {50, 0, 2, 10, 9},  // no item height: every pixel a
                                                                                      // row, still within the list
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowAtY(c.y, c.itemHeight, c.topIndex, c.rowCount), c.row) << c.y << " " << c.topIndex;
  }
}

}  // namespace
}  // namespace zor

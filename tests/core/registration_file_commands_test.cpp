#include "core/settings_dialog/registration_file_commands.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/settings_dialog/list_editor.h"
#include "core/text/cp932.h"
#include "core/text/unicode.h"
#include "temp_folder.h"

namespace zor {

// A result as the failure messages show it (found by gtest through the type's namespace).
void PrintTo(const FileCommandResult& r, std::ostream* os) {
  static const char* const names[] = {"done", "unchanged", "refused", "failed"};
  *os << names[static_cast<int>(r.status)] << ", ";
  if (r.fileInUse) {
    *os << '"' << ToCp932(*r.fileInUse) << '"';
  } else {
    *os << "kept";
  }
}

namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Status_ = FileCommandStatus;
using When = RegistrationFileCommands::When;

// The host as a test gives it: answers queued in order, and every call
// written down as one line, so the order of dialogs and notices shows.
class ScriptedHost final : public FileCommandHost {
 public:
  std::deque<FileAnswer> answers;
  std::vector<std::wstring> events;

  FileAnswer AskFile(FileQuestion question, const std::wstring& initialName) override {
    events.push_back(L"ask " + Name(question) + L" " + initialName);
    if (answers.empty()) return FileAnswer{false, initialName, 0};  // cancelled
    FileAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void Tell(Notice notice, std::wstring_view text) override {
    static const wchar_t* const kinds[] = {L"warn ", L"dialog failure ", L"exported ", L"imported "};
    events.push_back(kinds[static_cast<int>(notice)] + std::wstring(text));
  }
  void Busy(bool busy) override { events.push_back(busy ? L"busy" : L"idle"); }
  void ShowEditor() override { events.push_back(L"show"); }

  void Choose(const std::filesystem::path& path) { answers.push_back({true, PathText(path), 0}); }
  void Cancel() { answers.push_back({false, L"", 0}); }

 private:
  static std::wstring Name(FileQuestion q) {
    switch (q) {
      case FileQuestion::kOpen: return L"open";
      case FileQuestion::kNew: return L"new";
      case FileQuestion::kRename: return L"rename";
      case FileQuestion::kImport: return L"import";
      case FileQuestion::kExport: return L"export";
    }
    return L"?";
  }
};

FileCommandResult Done(const std::filesystem::path& inUse) { return {Status_::kDone, PathText(inUse)}; }
FileCommandResult Cleared(Status_ status) { return {status, std::wstring()}; }
FileCommandResult Kept(Status_ status) { return {status, std::nullopt}; }

std::vector<std::wstring> Messages(const std::filesystem::path& file) {
  Result<std::vector<std::wstring>> texts = ReadMessages(file);
  return texts.ok() ? texts.value() : std::vector<std::wstring>{L"<unreadable>"};
}

std::string Lines(int n) {
  std::string lines;
  for (int i = 0; i < n; ++i) lines += "line " + std::to_string(i) + "\r\n";
  return lines;
}

class RegistrationFileCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEmptyRegistrationFile(file_).ok());
    for (const wchar_t* t : {L"一行目", L"二行目"}) ASSERT_TRUE(AddMessage(file_, t).ok());
  }
  void TearDown() override { SetFaultHookForTesting(nullptr); }
  void UseTheFile() { ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded); }
  std::wstring Text(const std::filesystem::path& p) const { return PathText(p); }
  // A name code page 932 cannot hold.
  std::filesystem::path Unstorable() const { return At(L"\u00e9t\u00e9\u0101.zrd"); }
  std::wstring UnstorableWarning(const std::filesystem::path& p) const {
    return L"warn " + StorableFileName(Text(p)).message();
  }
  void FailStep(ReplaceStep step) {
    SetFaultHookForTesting([step](ReplaceStep s) { return s == step; });
  }

  // A name in the test's folder (wide names go through UTF-8 on every platform).
  std::filesystem::path At(std::wstring_view name, std::wstring_view inner = {}) const {
    std::filesystem::path p = dir_.path() / PathFromText(name);
    return inner.empty() ? p : p / PathFromText(inner);
  }

  TempFolder dir_;
  std::filesystem::path file_ = At(L"二件.zrd");
  ListEditor editor_;
  ScriptedHost host_;
  RegistrationFileCommands commands_{editor_, host_, dir_.path()};
};

using Events = std::vector<std::wstring>;

TEST(StorableFileName, RefusesWhatCodePage932CannotHoldAndNamesThePath) {
  EXPECT_TRUE(StorableFileName(L"C:\\登録\\ファイル.zrd").ok());
  const Status refused = StorableFileName(L"C:\\\u0101.zrd");
  EXPECT_FALSE(refused.ok());
  EXPECT_EQ(refused.message(), L"このパスには設定ファイルに保存できない文字が含まれています。\n"
                               L"別の場所を選択してください。\nC:\\\u0101.zrd");
  EXPECT_EQ(DialogFailureMessage(12291), L"コモンダイアログエラー 12291");
}

// --- the load step ---------------------------------------------------------

TEST_F(RegistrationFileCommandsTest, LoadListsAValidFileAndKeepsTheRecord) {
  EXPECT_EQ(commands_.Load(Text(file_)), Kept(Status_::kDone));
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(editor_.Count(), 2);
}

TEST_F(RegistrationFileCommandsTest, LoadRefusesAForeignFileClearsTheRecordAndAsksNothing) {
  WriteBytes(file_, std::string(40, '\0'));
  EXPECT_EQ(commands_.Load(Text(file_)), Cleared(Status_::kRefused));
  EXPECT_EQ(host_.events, (Events{L"warn " + ForeignFileMessage(DisplayPath(file_), OpenedBy::kLoad)}));
  EXPECT_FALSE(editor_.HasFile());
}

TEST_F(RegistrationFileCommandsTest, LoadRefusesANewerFile) {
  std::string bytes = ReadBytes(file_);
  bytes[0] = 99;
  WriteBytes(file_, bytes);
  EXPECT_EQ(commands_.Load(Text(file_)), Cleared(Status_::kRefused));
  EXPECT_EQ(host_.events, (Events{L"warn " + NewerVersionMessage(DisplayPath(file_))}));
}

// Only a foreign or newer file clears the record: one that cannot be read
// is told and stays recorded, so the next start finds it again.
TEST_F(RegistrationFileCommandsTest, LoadOfAFileThatCannotBeReadTellsItAndKeepsTheRecord) {
  const auto held = At(L"使用中.zrd");
  std::filesystem::create_directory(held);
  EXPECT_EQ(commands_.Load(Text(held)), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events, (Events{L"warn " + DisplayPath(held) +
                                  L" を読み込めませんでした。他のプログラムが使用中でないか確認してください。"}))
      << "no open dialog offered";
  EXPECT_FALSE(editor_.HasFile());
}

TEST_F(RegistrationFileCommandsTest, LoadOfAMissingFileOffersTheOpenDialogAndACancelLeavesNoFile) {
  const auto missing = At(L"ない.zrd");
  EXPECT_EQ(commands_.Load(Text(missing)), Cleared(Status_::kUnchanged));
  EXPECT_EQ(host_.events, (Events{L"warn " + MissingFileMessage(DisplayPath(missing)), L"show", L"ask open "}));
  EXPECT_FALSE(editor_.HasFile());
  EXPECT_FALSE(FileExists(missing));
}

TEST_F(RegistrationFileCommandsTest, LoadOfAnEmptyRecordOffersTheOpenDialog) {
  host_.Choose(file_);
  EXPECT_EQ(commands_.Load(L""), Done(file_));
  ASSERT_EQ(host_.events.size(), 5u);
  EXPECT_EQ(host_.events[1], L"show");
  EXPECT_EQ(host_.events[2], L"ask open ");
  EXPECT_EQ(editor_.Count(), 2);
}

TEST_F(RegistrationFileCommandsTest, LoadOfAMissingFileCreatesTheOneChosen) {
  const auto created = At(L"新しい.zrd");
  host_.Choose(created);
  EXPECT_EQ(commands_.Load(Text(At(L"ない.zrd"))), Done(created));
  EXPECT_EQ(ReadBytes(created).size(), kHeaderSize);
  EXPECT_TRUE(editor_.HasFile());
  EXPECT_EQ(editor_.Path(), created);
  EXPECT_EQ(host_.events.back(), L"idle");
}

// The three answers that give no file at load end alike: no file, none recorded.
TEST_F(RegistrationFileCommandsTest, AtLoadCancelUnstorableAndForeignAnswersLeaveNoFileRecorded) {
  const auto foreign = At(L"foreign.zrd");
  WriteBytes(foreign, std::string("\x62\x00", 2) + std::string(62, 'x'));  // version 98, no magic
  const auto missing = Text(At(L"ない.zrd"));
  const std::wstring missingWarning = L"warn " + MissingFileMessage(DisplayPath(At(L"ない.zrd")));

  host_.Cancel();
  EXPECT_EQ(commands_.Load(missing), Cleared(Status_::kUnchanged));

  host_.events.clear();
  host_.Choose(Unstorable());
  EXPECT_EQ(commands_.Load(missing), Cleared(Status_::kRefused));
  EXPECT_EQ(host_.events, (Events{missingWarning, L"show", L"ask open ", UnstorableWarning(Unstorable())}));
  EXPECT_FALSE(FileExists(Unstorable()));

  host_.events.clear();
  host_.Choose(foreign);
  EXPECT_EQ(commands_.Load(missing), Cleared(Status_::kRefused));
  EXPECT_EQ(host_.events, (Events{missingWarning, L"show", L"ask open ", L"busy",
                                  L"warn " + ForeignFileMessage(DisplayPath(foreign), OpenedBy::kOpenCommand),
                                  L"idle"}));
  EXPECT_FALSE(editor_.HasFile());
}

// A file that cannot be created or read keeps the record as it was.
TEST_F(RegistrationFileCommandsTest, AtLoadACreateFailureKeepsTheRecord) {
  const auto inMissingFolder = At(L"ないフォルダ", L"x.zrd");
  host_.Choose(inMissingFolder);
  EXPECT_EQ(commands_.Load(Text(At(L"ない.zrd"))), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.size(), 6u) << "missing, show, ask, busy, the create failure, idle";
  EXPECT_EQ(host_.events[4].substr(0, 5), L"warn ");
  EXPECT_FALSE(editor_.HasFile());
}

// --- open ------------------------------------------------------------------

TEST_F(RegistrationFileCommandsTest, OpenOffersTheFileInUseAndACancelReadsItAgain) {
  UseTheFile();
  ASSERT_TRUE(AddMessage(file_, L"三行目").ok());
  EXPECT_EQ(commands_.Open(When::kByCommand), Done(file_));
  EXPECT_EQ(host_.events, (Events{L"ask open " + Text(file_), L"busy", L"idle"}));
  EXPECT_EQ(editor_.Count(), 3) << "the file was read again";
}

TEST_F(RegistrationFileCommandsTest, OpenWithoutAFileAndCancelledDoesNothing) {
  EXPECT_EQ(commands_.Open(When::kByCommand), Kept(Status_::kUnchanged));
  EXPECT_EQ(host_.events, (Events{L"ask open "}));
}

TEST_F(RegistrationFileCommandsTest, OpenCreatesAMissingFile) {
  UseTheFile();
  const auto created = At(L"新しい.zrd");
  host_.Choose(created);
  EXPECT_EQ(commands_.Open(When::kByCommand), Done(created));
  EXPECT_EQ(ReadBytes(created).size(), kHeaderSize);
  EXPECT_EQ(editor_.Count(), 0);
}

TEST_F(RegistrationFileCommandsTest, OpenRefusesAForeignOrUnstorableFileAndTheFileInUseStays) {
  UseTheFile();
  const auto foreign = At(L"foreign.zrd");
  WriteBytes(foreign, std::string("\x62\x00", 2) + std::string(62, 'x'));
  host_.Choose(foreign);
  EXPECT_EQ(commands_.Open(When::kByCommand), Kept(Status_::kRefused));
  EXPECT_EQ(host_.events[2], L"warn " + ForeignFileMessage(DisplayPath(foreign), OpenedBy::kOpenCommand));
  EXPECT_EQ(editor_.Path(), file_);

  host_.events.clear();
  host_.Choose(Unstorable());
  EXPECT_EQ(commands_.Open(When::kByCommand), Kept(Status_::kRefused));
  EXPECT_EQ(host_.events, (Events{L"ask open " + Text(file_), UnstorableWarning(Unstorable())}));
  EXPECT_EQ(editor_.Path(), file_);
  EXPECT_EQ(editor_.Count(), 2);
}

TEST_F(RegistrationFileCommandsTest, OpenOfAFileThatCannotBeReadKeepsTheFileInUseAndTheRecord) {
  UseTheFile();
  const auto held = At(L"使用中.zrd");
  std::filesystem::create_directory(held);
  host_.Choose(held);
  EXPECT_EQ(commands_.Open(When::kByCommand), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events, (Events{L"ask open " + Text(file_), L"busy",
                                  L"warn " + ReadFailureMessage(DisplayPath(held)), L"idle"}));
  EXPECT_EQ(editor_.Path(), file_);
  EXPECT_EQ(editor_.Count(), 2);
  EXPECT_TRUE(std::filesystem::is_directory(held)) << "nothing created over the name";

  // At load (the recorded file missing) the record stays as well.
  editor_.SetNoFile();
  host_.Choose(held);
  EXPECT_EQ(commands_.Load(Text(At(L"ない.zrd"))), Kept(Status_::kFailed));
  EXPECT_FALSE(editor_.HasFile());
}

TEST_F(RegistrationFileCommandsTest, OpenThatCannotCreateTheFileKeepsTheRecord) {
  UseTheFile();
  host_.Choose(At(L"ないフォルダ", L"x.zrd"));
  EXPECT_EQ(commands_.Open(When::kByCommand), Kept(Status_::kFailed));
  EXPECT_EQ(editor_.Path(), file_) << "the editor is untouched until a file is there";
}

// --- new -------------------------------------------------------------------

TEST_F(RegistrationFileCommandsTest, NewOffersTheFirstFreeUntitledName) {
  UseTheFile();
  ASSERT_TRUE(CreateEmptyRegistrationFile(At(L"無題1.zrd")).ok());
  EXPECT_EQ(commands_.New(), Kept(Status_::kUnchanged));
  EXPECT_EQ(host_.events, (Events{L"ask new " + Text(At(L"無題2.zrd"))}));
  EXPECT_FALSE(FileExists(At(L"無題2.zrd"))) << "a cancel creates nothing";
  EXPECT_EQ(editor_.Path(), file_);
}

TEST_F(RegistrationFileCommandsTest, NewTellsAFailedDialog) {
  host_.answers.push_back({false, L"", 0x3003});
  EXPECT_EQ(commands_.New(), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.back(), L"dialog failure コモンダイアログエラー 12291");
}

TEST_F(RegistrationFileCommandsTest, NewCreatesAnEmptyFileAndUsesIt) {
  UseTheFile();
  const auto made = At(L"新規.zrd");
  host_.Choose(made);
  EXPECT_EQ(commands_.New(), Done(made));
  EXPECT_EQ(ReadBytes(made).size(), kHeaderSize);
  EXPECT_EQ(editor_.Path(), made);
  EXPECT_EQ(editor_.Count(), 0);
  EXPECT_EQ(host_.events, (Events{L"ask new " + Text(At(L"無題1.zrd")), L"busy", L"idle"}));
}

TEST_F(RegistrationFileCommandsTest, NewOverAnExistingFileEmptiesIt) {
  host_.Choose(file_);
  EXPECT_EQ(commands_.New(), Done(file_));
  EXPECT_EQ(ReadBytes(file_).size(), kHeaderSize);
}

TEST_F(RegistrationFileCommandsTest, NewWithAnEmptyAnswerTakesTheFreeUntitledName) {
  host_.answers.push_back({true, L"", 0});
  EXPECT_EQ(commands_.New(), Done(At(L"無題1.zrd")));
  EXPECT_TRUE(FileExists(At(L"無題1.zrd")));
}

TEST_F(RegistrationFileCommandsTest, NewRefusesAnUnstorableName) {
  UseTheFile();
  host_.Choose(Unstorable());
  EXPECT_EQ(commands_.New(), Kept(Status_::kRefused));
  EXPECT_EQ(host_.events.back(), UnstorableWarning(Unstorable()));
  EXPECT_FALSE(FileExists(Unstorable()));
  EXPECT_EQ(editor_.Path(), file_);
}

TEST_F(RegistrationFileCommandsTest, NewThatCannotCreateKeepsTheFileInUse) {
  UseTheFile();
  FailStep(ReplaceStep::kCreateTemporary);
  host_.Choose(At(L"新規.zrd"));
  EXPECT_EQ(commands_.New(), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.size(), 4u);
  EXPECT_EQ(host_.events[2].substr(0, 5), L"warn ");
  EXPECT_EQ(editor_.Path(), file_);
  EXPECT_EQ(editor_.Count(), 2);
}

// --- rename ----------------------------------------------------------------

TEST_F(RegistrationFileCommandsTest, RenameWithoutAFileAsksNothing) {
  EXPECT_EQ(commands_.Rename(), Kept(Status_::kUnchanged));
  EXPECT_TRUE(host_.events.empty());
}

TEST_F(RegistrationFileCommandsTest, RenameCancelledOrToTheSameNameInAnyCaseDoesNothing) {
  UseTheFile();
  EXPECT_EQ(commands_.Rename(), Kept(Status_::kUnchanged));
  EXPECT_EQ(host_.events, (Events{L"ask rename " + Text(file_)}));
  host_.Choose(At(L"二件.ZRD"));
  EXPECT_EQ(commands_.Rename(), Kept(Status_::kUnchanged));
  host_.answers.push_back({true, L"", 0});
  EXPECT_EQ(commands_.Rename(), Kept(Status_::kUnchanged));
  EXPECT_EQ(host_.events.size(), 3u) << "three questions, nothing else";
  EXPECT_TRUE(FileExists(file_));
}

TEST_F(RegistrationFileCommandsTest, RenameMovesTheFileAndRecordsTheNewName) {
  UseTheFile();
  editor_.Select(1);
  ASSERT_TRUE(editor_.Correct(L"直した").ok());
  const auto renamed = At(L"改名.zrd");
  host_.Choose(renamed);
  EXPECT_EQ(commands_.Rename(), Done(renamed));
  EXPECT_FALSE(FileExists(file_));
  EXPECT_EQ(Messages(renamed), (std::vector<std::wstring>{L"一行目", L"直した"}));
  EXPECT_EQ(editor_.Path(), renamed);
  EXPECT_EQ(editor_.Selected(), 1) << "the row stays selected";
  EXPECT_FALSE(editor_.View().undoEnabled) << "a renamed file starts a new history";
}

TEST_F(RegistrationFileCommandsTest, RenameOntoAnotherFileReplacesIt) {
  UseTheFile();
  const auto other = At(L"他.zrd");
  ASSERT_TRUE(CreateEmptyRegistrationFile(other).ok());
  host_.Choose(other);
  EXPECT_EQ(commands_.Rename(), Done(other));
  EXPECT_EQ(Messages(other).size(), 2u);
}

TEST_F(RegistrationFileCommandsTest, RenameRefusesAnUnstorableName) {
  UseTheFile();
  host_.Choose(Unstorable());
  EXPECT_EQ(commands_.Rename(), Kept(Status_::kRefused));
  EXPECT_EQ(host_.events.back(), UnstorableWarning(Unstorable()));
  EXPECT_TRUE(FileExists(file_));
}

TEST_F(RegistrationFileCommandsTest, ARenameThatFailsLosesNeitherFile) {
  UseTheFile();
  host_.Choose(At(L"ないフォルダ", L"改名.zrd"));
  EXPECT_EQ(commands_.Rename(), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.size(), 4u);
  EXPECT_EQ(host_.events[2].substr(0, 5), L"warn ");
  EXPECT_TRUE(FileExists(file_));
  EXPECT_EQ(editor_.Path(), file_);
}

TEST_F(RegistrationFileCommandsTest, ARenamedFileThatCannotBeReadLeavesNoFileRecorded) {
  UseTheFile();
  // The file is renamed whole, but is no registration file any more.
  WriteBytes(file_, std::string(40, '\0'));
  const auto renamed = At(L"改名.zrd");
  host_.Choose(renamed);
  EXPECT_EQ(commands_.Rename(), Cleared(Status_::kFailed));
  EXPECT_TRUE(FileExists(renamed));
  EXPECT_FALSE(editor_.HasFile());
}

// --- import ----------------------------------------------------------------

TEST_F(RegistrationFileCommandsTest, ImportCancelledOrFailedDoesNothing) {
  EXPECT_EQ(commands_.Import(true), Kept(Status_::kUnchanged));
  EXPECT_EQ(host_.events, (Events{L"ask import "}));
  host_.answers.push_back({false, L"", 0x3003});
  EXPECT_EQ(commands_.Import(true), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.back(), L"dialog failure コモンダイアログエラー 12291");
  host_.answers.push_back({true, L"", 0});
  EXPECT_EQ(commands_.Import(true), Kept(Status_::kUnchanged));
  EXPECT_EQ(host_.events.size(), 4u);
}

TEST_F(RegistrationFileCommandsTest, ImportOfAMissingTextFileIsRefused) {
  host_.Choose(At(L"ない.txt"));
  EXPECT_EQ(commands_.Import(true), Kept(Status_::kRefused));
  EXPECT_EQ(host_.events.back(), L"warn 指定のファイルは存在しません");
}

TEST_F(RegistrationFileCommandsTest, ImportLimitsTheLinesOnlyWhenAsked) {
  WriteBytes(At(L"memo.txt"), Lines(150));
  host_.Choose(At(L"memo.txt"));
  EXPECT_EQ(commands_.Import(true), Done(At(L"memo.zrd")));
  EXPECT_EQ(Messages(At(L"memo.zrd")).size(), 100u);
  EXPECT_EQ(editor_.Count(), 100);
  EXPECT_EQ(editor_.Path(), At(L"memo.zrd"));

  // memo.zrd is taken now: the next import goes to the first free untitled name.
  host_.Choose(At(L"memo.txt"));
  EXPECT_EQ(commands_.Import(false), Done(At(L"無題1.zrd")));
  EXPECT_EQ(Messages(At(L"無題1.zrd")).size(), 150u);
  EXPECT_EQ(Messages(At(L"memo.zrd")).size(), 100u) << "the first import stays";
}

TEST_F(RegistrationFileCommandsTest, ImportStopsAt500Lines) {
  WriteBytes(At(L"long.txt"), Lines(600));
  host_.Choose(At(L"long.txt"));
  EXPECT_EQ(commands_.Import(false), Done(At(L"long.zrd")));
  EXPECT_EQ(editor_.Count(), 500);
}

TEST_F(RegistrationFileCommandsTest, ImportRefusesATargetNameTheSettingsCannotHold) {
  const auto text = At(L"\u00e9t\u00e9\u0101.txt");
  WriteBytes(text, Lines(3));
  host_.Choose(text);
  EXPECT_EQ(commands_.Import(true), Kept(Status_::kRefused));
  EXPECT_EQ(host_.events.back(), UnstorableWarning(Unstorable()));
  EXPECT_FALSE(FileExists(Unstorable()));
}

TEST_F(RegistrationFileCommandsTest, AnImportThatFailsKeepsTheFileInUse) {
  UseTheFile();
  WriteBytes(At(L"memo.txt"), Lines(3));
  FailStep(ReplaceStep::kReplace);
  host_.Choose(At(L"memo.txt"));
  EXPECT_EQ(commands_.Import(true), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.size(), 4u);
  EXPECT_EQ(host_.events[2].substr(0, 5), L"warn ");
  EXPECT_EQ(editor_.Path(), file_);
}

TEST_F(RegistrationFileCommandsTest, AnImportTellsItsReportOnlyWhenThereIsMoreThanTheCount) {
  WriteBytes(At(L"plain.txt"), Lines(3) + "\r\n   \r\n");
  host_.Choose(At(L"plain.txt"));
  EXPECT_EQ(commands_.Import(true), Done(At(L"plain.zrd")));
  EXPECT_EQ(host_.events.back(), L"idle") << "CP932 with blank lines only: nothing to tell";

  WriteBytes(At(L"utf8.txt"), "\xEF\xBB\xBF" + ToUtf8(L"一\r\n" + std::wstring(40, L'長') + L"\r\n"));
  host_.Choose(At(L"utf8.txt"));
  EXPECT_EQ(commands_.Import(true), Done(At(L"utf8.zrd")));
  EXPECT_EQ(host_.events.end()[-2], L"show") << "the list shows the new file under the report";
  EXPECT_EQ(host_.events.back(),
            L"imported 1 件の文章を登録しました。\r\n文字コード: UTF-8 (BOM)\r\n\r\n登録しなかった行:\r\n　長すぎる行: 1");
  EXPECT_EQ(Messages(At(L"utf8.zrd")), std::vector<std::wstring>{L"一"});

  // The encoding the guess chose is told, EUC-JP among them.
  WriteBytes(At(L"euc.txt"), "\xC6\xFC\xCB\xDC\xA4\xCE\xCA\xB8\r\n");
  host_.Choose(At(L"euc.txt"));
  EXPECT_EQ(commands_.Import(true), Done(At(L"euc.zrd")));
  EXPECT_EQ(host_.events.back(), L"imported 1 件の文章を登録しました。\r\n文字コード: EUC-JP");
  EXPECT_EQ(Messages(At(L"euc.zrd")), std::vector<std::wstring>{L"日本の文"});

  // Nothing to register: said, and no empty file is made or used.
  WriteBytes(At(L"none.txt"), "\r\n\r\n");
  host_.Choose(At(L"none.txt"));
  EXPECT_EQ(commands_.Import(true), Kept(Status_::kRefused));
  EXPECT_EQ(host_.events.end()[-2], L"warn 登録できる文章がないため、ファイルを作りませんでした（文字コード: Shift_JIS、空行: 2）");
  EXPECT_FALSE(FileExists(At(L"none.zrd")));
}

// --- export ----------------------------------------------------------------

TEST_F(RegistrationFileCommandsTest, ExportAsTheSecondFileTypeWritesUtf8) {
  UseTheFile();
  host_.answers.push_back({true, PathText(At(L"utf8.txt")), 0, 2});
  EXPECT_EQ(commands_.Export(), Kept(Status_::kDone));
  EXPECT_EQ(ReadBytes(At(L"utf8.txt")), "\xEF\xBB\xBF" + ToUtf8(L"一行目\r\n二行目\r\n"));
}

TEST_F(RegistrationFileCommandsTest, ExportOffersTheTextNameAndTellsTheEnd) {
  UseTheFile();
  const auto out = At(L"出力.txt");
  host_.Choose(out);
  EXPECT_EQ(commands_.Export(), Kept(Status_::kDone));
  EXPECT_EQ(host_.events, (Events{L"ask export " + Text(At(L"二件.txt")), L"busy", L"idle",
                                  L"exported " + Text(out) + L" にエクスポート完了しました"}));
  EXPECT_EQ(ReadBytes(out), ToCp932(L"一行目\r\n二行目\r\n"));
  EXPECT_EQ(editor_.Path(), file_);
}

TEST_F(RegistrationFileCommandsTest, ExportCancelledOrFailedDoesNothing) {
  UseTheFile();
  EXPECT_EQ(commands_.Export(), Kept(Status_::kUnchanged));
  host_.answers.push_back({false, L"", 0x3003});
  EXPECT_EQ(commands_.Export(), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.back(), L"dialog failure コモンダイアログエラー 12291");
  EXPECT_EQ(dir_.EntryCount(), 1u);
}

TEST_F(RegistrationFileCommandsTest, ExportWithoutAFileInUseIsAnError) {
  host_.Choose(At(L"出力.txt"));
  EXPECT_EQ(commands_.Export(), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events, (Events{L"ask export ", L"warn エクスポート中にエラーが発生しました"}));

  UseTheFile();
  std::filesystem::remove(file_);
  host_.events.clear();
  host_.Choose(At(L"出力.txt"));
  EXPECT_EQ(commands_.Export(), Kept(Status_::kFailed));
  EXPECT_EQ(host_.events.back(), L"warn エクスポート中にエラーが発生しました");
  EXPECT_FALSE(FileExists(At(L"出力.txt")));
}

TEST_F(RegistrationFileCommandsTest, AnExportThatCannotWriteSaysWhy) {
  UseTheFile();
  host_.Choose(At(L"ないフォルダ", L"出力.txt"));
  EXPECT_EQ(commands_.Export(), Kept(Status_::kFailed));
  const std::wstring told = host_.events.back();
  EXPECT_EQ(told.substr(0, 5 + kExportFailedMessage.size() + 2), L"warn エクスポート中にエラーが発生しました\r\n");
  EXPECT_GT(told.size(), 5 + kExportFailedMessage.size() + 2) << "the reason follows";
}

}  // namespace
}  // namespace zor

#include <gtest/gtest.h>

#include <algorithm>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/text/unicode.h"
#include "tool/tool.h"
#include "tool_run.h"

namespace zor::tool {
namespace {

using zor::testing::ReadBytes;
using zor::testing::TempFolder;
using zor::testing::WriteBytes;

using testing::Tool;
using testing::ToolRun;

class FileCommands : public ::testing::Test {
 protected:
  std::wstring File(std::wstring_view name) { return PathText(dir_.path() / PathFromText(name)); }
  // Done, and nothing on stderr but an import's one-line report.
  ToolRun Ok(std::vector<std::wstring> args) {
    const bool import = !args.empty() && args[0] == L"import";
    ToolRun r = Tool(std::move(args));
    EXPECT_EQ(r.rc, kDone) << ToUtf8(r.err);
    if (import) {
      EXPECT_TRUE(r.err.starts_with(L"zortool: import: read as ")) << ToUtf8(r.err);
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), L'\n'), 1) << ToUtf8(r.err);
    } else {
      EXPECT_EQ(r.err, L"");
    }
    return r;
  }
  TempFolder dir_;
};

TEST_F(FileCommands, NewGivesTheEmptyHeader) {
  const std::wstring f = File(L"a.zrd");
  Ok({L"new", f});
  EXPECT_EQ(ReadBytes(PathFromText(f)), std::string("\x62\x00\x00\x00\x70\x17\x03\x00\xFF\xFFZORANT\x00\x00\x0C\x00\x00\x00"
                                                     "\0\0\0\0\0\0\0\0\0\0",
                                                     32));
  EXPECT_EQ(Ok({L"info", f}).out,
            L"version 98\ncount 0\ninterval 6000\nscheme 3\nemphasis -1\norder 0\ncolour 12\nlayout 0\n");
}

TEST_F(FileCommands, EditingCommandsWorkTogether) {
  const std::wstring f = File(L"日本語.zrd");
  Ok({L"new", f});
  for (const wchar_t* t : {L"一", L"two", L"三", L"four"}) Ok({L"add", f, t});
  Ok({L"edit", f, L"2", L"二"});
  Ok({L"move", f, L"4", L"-2"});
  EXPECT_EQ(Ok({L"list", f}).out, L"一\nfour\n二\n三\n");
  Ok({L"delete", f, L"1"});
  EXPECT_EQ(Ok({L"list", f}).out, L"four\n二\n三\n");
  Ok({L"move", f, L"1", L"+99"});
  EXPECT_EQ(Ok({L"list", f}).out, L"二\n三\nfour\n");
  EXPECT_EQ(ReadBytes(PathFromText(f)).size(), 32u + 3 * 224);
}

TEST_F(FileCommands, FormatWritesAndShowReads) {
  const std::wstring f = File(L"a.zrd");
  Ok({L"new", f});
  Ok({L"add", f, L"あいうえお"});
  EXPECT_EQ(Ok({L"show", f, L"1"}).out,
            L"text あいうえお\nmarks -\nemphasis random\nfold auto\nkind none\nlayout none\n");
  Ok({L"format", f, L"1", L"--marks", L"1,3", L"--emphasis", L"marked", L"--fold", L"3", L"--kind", L"C", L"--layout", L"B"});
  EXPECT_EQ(Ok({L"show", f, L"1"}).out,
            L"text あいうえお\nmarks 1,3\nemphasis marked\nfold 3\nkind C\nlayout B\n");
  // Options not given keep their value; moving the fold keeps its kind.
  Ok({L"format", f, L"1", L"--fold", L"5"});
  EXPECT_EQ(Ok({L"show", f, L"1"}).out,
            L"text あいうえお\nmarks 1,3\nemphasis marked\nfold 5\nkind C\nlayout B\n");
  Ok({L"format", f, L"1", L"--auto-fold", L"--no-marks", L"--layout", L"none"});
  EXPECT_EQ(Ok({L"show", f, L"1"}).out,
            L"text あいうえお\nmarks -\nemphasis marked\nfold auto\nkind none\nlayout none\n");
  // A half-width message takes only a layout.
  Ok({L"add", f, L"abc"});
  Ok({L"format", f, L"2", L"--layout", L"C"});
  EXPECT_EQ(Tool({L"format", f, L"2", L"--fold", L"1"}).rc, kRefused);
  // Editing resets the format.
  Ok({L"edit", f, L"1", L"あいうえお"});
  EXPECT_EQ(Ok({L"show", f, L"1"}).out,
            L"text あいうえお\nmarks -\nemphasis random\nfold auto\nkind none\nlayout none\n");
}

TEST_F(FileCommands, OptionsWriteAsTheDialogsOk) {
  const std::wstring f = File(L"a.zrd");
  RegistrationHeader h;
  h.options.colour = 0;
  h.options.layout = -1;
  WriteBytes(PathFromText(f), h.Encode());
  Ok({L"options", f, L"--interval", L"3000", L"--order", L"registration", L"--emphasis", L"off"});
  EXPECT_EQ(Ok({L"info", f}).out,
            L"version 98\ncount 0\ninterval 3000\nscheme 3\nemphasis 0\norder 1\ncolour 12\nlayout 0\n");
  for (const wchar_t* bad : {L"999", L"11001", L"x"}) EXPECT_EQ(Tool({L"options", f, L"--interval", bad}).rc, kUsage);
  EXPECT_EQ(Tool({L"options", f, L"--colour", L"15"}).rc, kUsage);
  EXPECT_EQ(Tool({L"options", f}).rc, kUsage);
}

TEST_F(FileCommands, ImportAndExport) {
  const std::wstring txt = File(L"memo.txt");
  std::string lines;
  for (int i = 1; i <= 150; ++i) lines += "line " + std::to_string(i) + "\r\n";
  WriteBytes(PathFromText(txt), lines);
  EXPECT_EQ(Ok({L"import", txt}).out, File(L"memo.zrd") + L"\n100\n");
  EXPECT_EQ(Ok({L"import", txt, L"--no-limit"}).out, File(L"無題1.zrd") + L"\n150\n");
  EXPECT_EQ(Ok({L"export", File(L"無題1.zrd")}).out, File(L"無題1.txt") + L"\n");
  EXPECT_EQ(ReadBytes(PathFromText(File(L"無題1.txt"))), lines);
  EXPECT_EQ(Ok({L"export", File(L"memo.zrd"), File(L"out.txt")}).out, File(L"out.txt") + L"\n");
}

// Catches zortool refusing what the entry form and the import store: the
// look-alikes become the characters CP932 holds in add and edit.
TEST_F(FileCommands, AddAndEditStoreLookAlikesAsTheEntryFormDoes) {
  const std::wstring f = File(L"l.zrd");
  Ok({L"new", f});
  Ok({L"add", f, L"十時\u301C十一時"});
  Ok({L"add", f, L"x"});
  Ok({L"edit", f, L"2", L"\u2212五\u2014"});
  EXPECT_EQ(Ok({L"list", f}).out, L"十時\uFF5E十一時\n\uFF0D五\u2015\n");
  EXPECT_EQ(Tool({L"add", f, L"한"}).rc, kRefused) << "what has no look-alike is still refused";
}

// Catches the new encodings refused by name, and an import that registers
// nothing still making a file and ending in success.
TEST_F(FileCommands, ImportNamesEveryEncodingAndRefusesWhatGivesNothing) {
  const std::wstring euc = File(L"e.txt");
  WriteBytes(PathFromText(euc), "\xC6\xFC\xCB\xDC\xA4\xCE\xCA\xB8\r\n");  // 日本の文 in EUC-JP
  EXPECT_TRUE(Ok({L"import", euc}).err.starts_with(L"zortool: import: read as EUC-JP, 1 registered"));
  EXPECT_EQ(Ok({L"list", File(L"e.zrd")}).out, L"日本の文\n");
  EXPECT_EQ(Ok({L"import", euc, L"--encoding", L"euc-jp"}).out, File(L"無題1.zrd") + L"\n1\n");
  const std::wstring iso = File(L"i.txt");
  WriteBytes(PathFromText(iso), "\x1B$BF|K\\\x1B(B\r\n");
  EXPECT_EQ(Ok({L"import", iso, L"--encoding", L"iso-2022-jp"}).out, File(L"i.zrd") + L"\n1\n");

  const ToolRun nothing = Tool({L"import", euc, L"--encoding", L"utf-8"});
  EXPECT_EQ(nothing.rc, kRefused);
  EXPECT_EQ(nothing.err, L"zortool: 登録できる文章がないため、ファイルを作りませんでした（文字コード: UTF-8、"
                         L"UTF-8 として読めないバイトを含む行: 1）\n");
  EXPECT_FALSE(FileExists(dir_ / "無題2.zrd"));
  WriteBytes(dir_ / "bin.txt", std::string("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0", 20));
  EXPECT_EQ(Tool({L"import", File(L"bin.txt")}).rc, kRefused);
  EXPECT_FALSE(FileExists(dir_ / "bin.zrd"));
}

TEST_F(FileCommands, ImportEncodingsAndTheReport) {
  const std::wstring txt = File(L"u.txt");
  WriteBytes(PathFromText(txt), "\xEF\xBB\xBF" + ToUtf8(L"一〜二\r\n\r\n𠮷\r\n"));
  const ToolRun r = Ok({L"import", txt});
  EXPECT_EQ(r.out, File(L"u.zrd") + L"\n1\n");
  EXPECT_EQ(r.err, L"zortool: import: read as UTF-8 (BOM), 1 registered, 2 skipped (1 blank, 0 too long, "
                   L"1 with characters Shift_JIS cannot hold, 0 over the limit of 100)\n");
  EXPECT_EQ(Ok({L"list", File(L"u.zrd")}).out, L"一～二\n");

  // Forced: the mark is then data of the chosen encoding.
  EXPECT_TRUE(Ok({L"import", txt, L"--encoding", L"cp932"}).err.starts_with(L"zortool: import: read as Shift_JIS, "));
  EXPECT_EQ(Ok({L"import", txt, L"--encoding", L"utf-8"}).out.substr(File(L"無題2.zrd").size()), L"\n1\n");
  EXPECT_EQ(Tool({L"import", txt, L"--encoding", L"latin1"}).rc, kUsage);
  EXPECT_EQ(Tool({L"import", txt, L"--encoding"}).rc, kUsage);

  Ok({L"export", File(L"u.zrd"), File(L"u8.txt"), L"--utf8"});
  EXPECT_EQ(ReadBytes(PathFromText(File(L"u8.txt"))), "\xEF\xBB\xBF" + ToUtf8(L"一～二\r\n"));
}

// Every command on missing, truncated, oversized and garbage files: exit 1,
// one line on stderr, the file unchanged.
TEST_F(FileCommands, BadFilesAreRefusedAndKept) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  RegistrationHeader h;
  h.count = 2;
  const std::string truncatedHeader = h.Encode().substr(0, 20);
  std::string newer = h.Encode();
  newer[0] = 99;
  const std::pair<const wchar_t*, std::string> files[] = {
      {L"garbage.zrd", garbage},
      {L"short.zrd", truncatedHeader},
      {L"newer.zrd", newer},
      {L"empty.zrd", ""},
  };
  for (const auto& [name, bytes] : files) {
    const std::wstring f = File(name);
    WriteBytes(PathFromText(f), bytes);
    const std::vector<std::vector<std::wstring>> commands = {
        {L"info", f},   {L"list", f},   {L"add", f, L"x"}, {L"edit", f, L"1", L"x"},
        {L"delete", f, L"1"}, {L"move", f, L"1", L"1"}, {L"show", f, L"1"}, {L"format", f, L"1", L"--layout", L"A"},
        {L"options", f, L"--scheme", L"1"}, {L"export", f, File(L"x.txt")},
    };
    for (const auto& c : commands) {
      const ToolRun r = Tool(c);
      EXPECT_EQ(r.rc, kRefused) << ToUtf8(c[0]) << " " << ToUtf8(name);
      ASSERT_FALSE(r.err.empty());
      EXPECT_EQ(r.err.find(L'\n'), r.err.size() - 1) << "one line";
      EXPECT_EQ(ReadBytes(PathFromText(f)), bytes);
    }
  }
  EXPECT_EQ(Tool({L"list", File(L"missing.zrd")}).rc, kRefused);
  EXPECT_EQ(Tool({L"import", File(L"missing.txt")}).rc, kRefused);
  EXPECT_FALSE(FileExists(dir_ / "x.txt"));
}

// A failed write says what became of the target: a file that was there is
// unchanged, one that was not is not created; the paths in one separator.
TEST_F(FileCommands, WriteFailuresSayWhatBecameOfTheTarget) {
  // Arguments as a user may type them on Windows: "/" after the folder.
  const std::wstring folder = PathText(dir_.path());
  const auto typed = [&](const wchar_t* name) { return folder + L"/" + name; };
#ifdef _WIN32
  const std::wstring sep = L"\\";
#else
  const std::wstring sep = L"/";
#endif
  const auto shown = [&](const wchar_t* name) { return DisplayPath(dir_.path()) + sep + name; };
  WriteBytes(dir_ / "memo.txt", "abc\r\n");
  WriteBytes(dir_ / "old.txt", "previous");
  Ok({L"new", typed(L"a.zrd")});
  Ok({L"add", typed(L"a.zrd"), L"x"});
  const std::string registration = ReadBytes(dir_ / "a.zrd");
  const std::wstring unchanged = L" に書き込めませんでした。ファイルは変更されていません。\n";
  const std::wstring notCreated = L" を作成できませんでした。\n";
  const struct {
    std::vector<std::wstring> args;
    std::wstring err;
  } cases[] = {
      {{L"import", typed(L"memo.txt")}, L"zortool: " + shown(L"memo.zrd") + notCreated},
      {{L"export", typed(L"a.zrd"), typed(L"out.txt")}, L"zortool: " + shown(L"out.txt") + notCreated},
      {{L"export", typed(L"a.zrd")}, L"zortool: " + shown(L"a.txt") + notCreated},
      {{L"export", typed(L"a.zrd"), typed(L"old.txt")}, L"zortool: " + shown(L"old.txt") + unchanged},
      {{L"new", typed(L"b.zrd")}, L"zortool: " + shown(L"b.zrd") + notCreated},
      {{L"new", typed(L"a.zrd")}, L"zortool: " + shown(L"a.zrd") + unchanged},
      {{L"add", typed(L"a.zrd"), L"y"}, L"zortool: " + shown(L"a.zrd") + unchanged},
  };
  for (const auto& c : cases) {
    for (const ReplaceStep step : {ReplaceStep::kCreateTemporary, ReplaceStep::kReplace}) {
      SetFaultHookForTesting([step](ReplaceStep s) { return s == step; });
      const ToolRun r = Tool(c.args);
      SetFaultHookForTesting(nullptr);
      EXPECT_EQ(r.rc, kRefused) << ToUtf8(c.args[0]);
      EXPECT_EQ(r.err, c.err) << ToUtf8(c.args[0]) << " step " << static_cast<int>(step);
      EXPECT_EQ(r.out, L"");
    }
  }
  EXPECT_EQ(dir_.EntryCount(), 3u) << "memo.txt, old.txt and a.zrd alone";
  EXPECT_EQ(ReadBytes(dir_ / "old.txt"), "previous");
  EXPECT_EQ(ReadBytes(dir_ / "a.zrd"), registration);
  // What the commands print names the files the same way.
  EXPECT_EQ(Ok({L"import", typed(L"memo.txt")}).out, shown(L"memo.zrd") + L"\n1\n");
  EXPECT_EQ(Ok({L"export", typed(L"a.zrd")}).out, shown(L"a.txt") + L"\n");
  const ToolRun missing = Tool({L"list", typed(L"none.zrd")});
  EXPECT_NE(missing.err.find(shown(L"none.zrd") + L" が見つかりません。"), std::wstring::npos) << ToUtf8(missing.err);
}

TEST_F(FileCommands, RulesAndUsage) {
  const std::wstring f = File(L"a.zrd");
  Ok({L"new", f});
  Ok({L"add", f, L"abc"});
  const std::string before = ReadBytes(PathFromText(f));
  struct Case {
    std::vector<std::wstring> args;
    int rc;
  };
  const Case cases[] = {
      {{L"add", f, std::wstring(97, L'a')}, kRefused},
      {{L"add", f, L""}, kRefused},
      {{L"add", f, L"two\nlines"}, kRefused},
      {{L"edit", f, L"2", L"x"}, kRefused},
      {{L"edit", f, L"0", L"x"}, kRefused},
      {{L"delete", f, L"99999999999999999999"}, kRefused},
      {{L"show", f, L"-1"}, kRefused},
      {{L"edit", f, L"one", L"x"}, kUsage},
      {{L"move", f, L"1", L"up"}, kUsage},
      {{L"add", f}, kUsage},
      {{L"list", f, L"extra"}, kUsage},
      {{L"format", f, L"1", L"--fold"}, kUsage},
      {{L"format", f, L"1", L"--fold", L"1", L"--auto-fold"}, kUsage},
      {{L"format", f, L"1", L"--kind", L"E"}, kUsage},
      {{L"format", f, L"1", L"--bogus"}, kUsage},
      {{L"import", L"a.txt", L"--limit"}, kUsage},
  };
  for (const Case& c : cases) {
    const ToolRun r = Tool(c.args);
    EXPECT_EQ(r.rc, c.rc) << ToUtf8(c.args[0]) << " " << ToUtf8(c.args.back());
    EXPECT_EQ(r.out, L"");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find(L'\n'), r.err.size() - 1);
  }
  EXPECT_EQ(ReadBytes(PathFromText(f)), before);
}

}  // namespace
}  // namespace zor::tool

#include "core/settings_dialog/message_entry.h"

#include <gtest/gtest.h>

#include "core/settings_dialog/list_editor.h"
#include "core/text/unicode.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

std::wstring Repeat(std::wstring_view unit, int n) {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

TEST(MessageEntry, OkFollowsTheLengthRuleAndWhatTheFileCanHold) {
  struct Case {
    const char* what;
    std::wstring text;
    bool ok;
  };
  const Case cases[] = {
      {"empty", L"", false},
      {"32 full-width", Repeat(L"あ", 32), true},
      {"33 full-width", Repeat(L"あ", 33), false},
      {"96 half-width", Repeat(L"a", 96), true},
      {"97 half-width", Repeat(L"a", 97), false},
      {"40 full + 1 half (81 bytes)", Repeat(L"あ", 40) + L"a", true},
      {"48 full + 1 half (97 bytes)", Repeat(L"あ", 48) + L"a", false},
      {"a single blank", L" ", true},
      {"blanks at both ends count", L" " + Repeat(L"あ", 47) + L" ", true},
      {"a line break", L"一行目\r\n二行目", false},
      {"a lone line feed", L"a\nb", false},
      {"a character code page 932 lacks", L"caf\u00E9", false},
      {"a character beyond the BMP", L"x" + FromCodePoints({U'\U0001F600'}), false},
  };
  for (const Case& c : cases) {
    MessageEntry e = MessageEntry::ForAdd();
    e.SetText(c.text);
    EXPECT_EQ(e.OkEnabled(), c.ok) << c.what;
  }
}

TEST(MessageEntry, TheStatusLineCountsAsTheRuleDoesAndSaysWhyOkIsGrey) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"", L"0 / 32 文字（全角）"},
      {Repeat(L"あ", 32), L"32 / 32 文字（全角）"},
      {Repeat(L"あ", 33), L"33 / 32 文字（全角）　長すぎます"},
      {L"ab" + Repeat(L"あ", 40), L"82 / 96 文字（半角換算）"},
      {Repeat(L"ｱ", 97), L"97 / 96 文字（半角換算）　長すぎます"},
      // Each character CP932 lacks counts as its "?", as the rule counts it.
      {L"吉" + FromCodePoints({U'\U00020BB7'}) + L"野家" + FromCodePoints({U'\U00020BB7'}) + L"한",
       L"9 / 96 文字（半角換算）　Shift_JIS で保存できない文字: " + FromCodePoints({U'\U00020BB7'}) + L"한"},
      {L"a\r\nb", L"4 / 96 文字（半角換算）　改行は使えません"},
  };
  for (const auto& [text, line] : cases) {
    MessageEntry e = MessageEntry::ForAdd();
    e.SetText(text);
    EXPECT_EQ(e.StatusLine(), line);
    EXPECT_EQ(e.OkEnabled(), line.find(L"　") == std::wstring::npos && !text.empty());
  }
}

TEST(MessageEntry, LookAlikesArePutRightAsTheyArrive) {
  MessageEntry e = MessageEntry::ForAdd();
  e.SetText(L"9時\u301C17時\u2212休憩\u2014");
  EXPECT_EQ(e.Text(), L"9時\uFF5E17時\uFF0D休憩\u2015");
  EXPECT_TRUE(e.OkEnabled()) << "a text pasted from a web page can be stored";
}

TEST(MessageEntry, CaptionsAndInitialText) {
  const MessageEntry add = MessageEntry::ForAdd();
  EXPECT_EQ(add.Caption(), L"文章の追加登録");
  EXPECT_EQ(add.InitialText(), L"");
  EXPECT_EQ(add.InitialSelectionLength(), 0u);
  EXPECT_FALSE(add.OkEnabled());

  const MessageEntry correct = MessageEntry::ForCorrect(L"  訂正する文章 ");
  EXPECT_EQ(correct.Caption(), L"文章の訂正");
  EXPECT_EQ(correct.InitialText(), L"訂正する文章");
  EXPECT_EQ(correct.Text(), L"訂正する文章");
  EXPECT_EQ(correct.InitialSelectionLength(), 6u);
  EXPECT_TRUE(correct.OkEnabled()) << "the button state is right from the start";
}

TEST(MessageEntry, CommitAddsOrCorrectsThroughTheEditor) {
  TempFolder dir;
  const auto file = dir / "a.zrd";
  ASSERT_TRUE(CreateEmptyRegistrationFile(file).ok());
  ListEditor editor;
  ASSERT_EQ(editor.Load(file).kind, LoadOutcome::kLoaded);

  MessageEntry add = MessageEntry::ForAdd();
  add.SetText(L"一つ目");
  ASSERT_TRUE(add.Commit(editor).ok());
  add.SetText(L" ");
  ASSERT_TRUE(add.Commit(editor).ok());
  // A single blank is stored as blanks and reads back empty.
  EXPECT_EQ(editor.Rows(), (std::vector<std::wstring>{L"一つ目", L""}));
  EXPECT_EQ(editor.View().selected, 1);
  EXPECT_EQ(editor.View().countLabel, L"2");

  editor.Select(0);
  MessageEntry correct = MessageEntry::ForCorrect(editor.View().selectedText);
  correct.SetText(L"訂正");
  ASSERT_TRUE(correct.Commit(editor).ok());
  EXPECT_EQ(editor.Rows()[0], L"訂正");
  EXPECT_EQ(editor.View().selected, 0);

  // A text OK would refuse never reaches the file.
  const std::string before = ReadBytes(file);
  correct.SetText(Repeat(L"あ", 33));
  EXPECT_EQ(correct.Commit(editor).error(), FileError::kRefused);
  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(editor.View().selected, 0);
}

}  // namespace
}  // namespace zor

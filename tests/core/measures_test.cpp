#include "core/text/measures.h"

#include <gtest/gtest.h>

#include "core/text/cp932.h"

namespace zor {
namespace {

std::wstring Repeat(std::wstring_view unit, int n) {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

TEST(ContainsHalfWidth, Cases) {
  EXPECT_FALSE(ContainsHalfWidth(L"あいう"));
  EXPECT_TRUE(ContainsHalfWidth(L"あいa"));
  EXPECT_TRUE(ContainsHalfWidth(L"ｱ")) << "half-width katakana is a single byte";
  EXPECT_FALSE(ContainsHalfWidth(L"\t")) << "control characters do not count";
  EXPECT_FALSE(ContainsHalfWidth(L""));
  EXPECT_TRUE(ContainsHalfWidth(L"あ あ")) << "a half-width blank counts";
  EXPECT_FALSE(ContainsHalfWidth(L"あ\u3000あ")) << "a full-width blank does not";
  EXPECT_TRUE(ContainsHalfWidth(L"あ\u00E9")) << "a character CP932 cannot hold shows as '?'";
}

TEST(AcceptableMessage, LengthRule) {
  EXPECT_FALSE(AcceptableMessage(L""));
  EXPECT_TRUE(AcceptableMessage(Repeat(L"あ", 32)));
  EXPECT_FALSE(AcceptableMessage(Repeat(L"あ", 33)));
  EXPECT_TRUE(AcceptableMessage(Repeat(L"a", 96)));
  EXPECT_FALSE(AcceptableMessage(Repeat(L"a", 97)));
  // One half-width character switches to the byte budget: 47 × 2 + 2 = 96.
  EXPECT_TRUE(AcceptableMessage(Repeat(L"あ", 47) + L"ab"));
  EXPECT_FALSE(AcceptableMessage(Repeat(L"あ", 48) + L"a"));
  EXPECT_TRUE(AcceptableMessage(L" ")) << "blanks are taken as typed";
  EXPECT_TRUE(AcceptableMessage(Repeat(L"ｱ", 96)));
  EXPECT_FALSE(AcceptableMessage(Repeat(L"ｱ", 97)));
}

TEST(ShortenTitle, CutsAtTwiceNBytes) {
  const std::wstring forty = Repeat(L"a", 40);
  EXPECT_EQ(ShortenTitle(forty, 20), forty);
  EXPECT_EQ(ShortenTitle(forty + L"b", 20), forty + L"...");
  EXPECT_EQ(ShortenTitle(Repeat(L"あ", 20), 20), Repeat(L"あ", 20));
  EXPECT_EQ(ShortenTitle(Repeat(L"あ", 21), 20), Repeat(L"あ", 20) + L"...");
  EXPECT_EQ(ShortenTitle(L"", 20), L"");
}

TEST(ShortenTitle, NeverSplitsADoubleByteCharacter) {
  // "a" + 20 × "あ" = 41 bytes; byte 40 is the first half of the last "あ".
  const std::wstring name = L"a" + Repeat(L"あ", 20);
  EXPECT_EQ(ShortenTitle(name, 20), L"a" + Repeat(L"あ", 19) + L"...");
  EXPECT_EQ(ShortenTitle(L"あい", 0), L"...");
}

TEST(GetFoldPos, WorkedExamples) {
  // 29 full-width + 2 half-width: 60 bytes, folds after 42 bytes (21 characters).
  EXPECT_EQ(GetFoldPos(Repeat(L"あ", 29) + L"ab"), 42);
  // 100 half-width characters with spaces at 45 and 60: line 1 ends with the space at 60.
  std::wstring hundred = Repeat(L"x", 100);
  hundred[44] = L' ';
  hundred[59] = L' ';
  EXPECT_EQ(GetFoldPos(hundred), 60);
  // 41 bytes fold after the last byte: line 2 is empty.
  EXPECT_EQ(GetFoldPos(Repeat(L"a", 41)), 41);
}

TEST(GetFoldPos, Bounds) {
  EXPECT_EQ(GetFoldPos(Repeat(L"a", 40)), -1);
  EXPECT_EQ(GetFoldPos(Repeat(L"あ", 20)), -1) << "40 bytes";
  EXPECT_EQ(GetFoldPos(L""), -1);
  // A full-width character on bytes 41-42 moves the fold to 42.
  EXPECT_EQ(GetFoldPos(Repeat(L"a", 40) + L"あ" + Repeat(L"b", 30)), 42);
  // A space before the target is never the fold.
  std::wstring early = Repeat(L"y", 81);
  early[9] = L' ';
  EXPECT_EQ(GetFoldPos(early), 41);
  // A full-width space after the target ends line 1, its two bytes included.
  std::wstring wide = Repeat(L"z", 60) + L"\u3000" + Repeat(L"z", 30);  // 92 bytes, target 47
  EXPECT_EQ(GetFoldPos(wide), 62);
  // A space past four fifths of the characters is not used.
  std::wstring late = Repeat(L"q", 100);
  late[85] = L' ';
  EXPECT_EQ(GetFoldPos(late), 51);
}

TEST(ShortenPath, Examples) {
  EXPECT_EQ(ShortenPath(L"C:\\Windows\\Desktop\\Pictures\\Backgrounds\\Sunset.bmp"),
            L"c:\\...\\desktop\\pictures\\backgrounds\\sunset.bmp");
  EXPECT_EQ(ShortenPath(L"C:\\My Documents\\Pictures"), L"c:\\my documents\\pictures");
  EXPECT_EQ(ShortenPath(L""), L"");
  const std::wstring noSlash = Repeat(L"A", 46);
  EXPECT_EQ(ShortenPath(noSlash), L"..." + Repeat(L"a", 46));
  EXPECT_EQ(ShortenPath(Repeat(L"B", 45)), Repeat(L"b", 45));
}

TEST(ShortenPath, CountsBytesAndFallsBackToTheLastBackslash) {
  // Full-width names count two bytes a character; upper-case full-width letters lower.
  const std::wstring path = L"D:\\写真\\" + Repeat(L"Ａ", 30) + L"\\x.jpg";  // 3+5+61+5 = 74 bytes
  EXPECT_EQ(ShortenPath(path), L"d:\\...\\x.jpg") << "no backslash has 41 bytes or fewer after it but the last";
  // Only one backslash, at byte 1: the tail is the whole path.
  const std::wstring rootless = L"\\" + Repeat(L"n", 50);
  EXPECT_EQ(ShortenPath(rootless), L"\\...\\" + Repeat(L"n", 50));
}

TEST(Trim, OnlyHalfWidthBlanks) {
  EXPECT_EQ(Trim(L"  a b  "), L"a b");
  EXPECT_EQ(Trim(L"\u3000a\u3000"), L"\u3000a\u3000");
  EXPECT_EQ(Trim(L"   "), L"");
}

TEST(LowerCase, LettersCp932HoldsInBothCases) {
  EXPECT_EQ(LowerCase(L"ABCxyzＡＺΑΩАЯЁ漢"), L"abcxyzａｚαωаяё漢");
}

}  // namespace
}  // namespace zor

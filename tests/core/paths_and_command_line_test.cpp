#include <gtest/gtest.h>

#include "core/text/command_line.h"
#include "core/text/paths.h"

namespace zor {
namespace {

TEST(FileTitleOf, Cases) {
  EXPECT_EQ(FileTitleOf(L"C:\\data\\a.zrd"), L"a.zrd");
  EXPECT_EQ(FileTitleOf(L"a.zrd"), L"(登録ファイルを新規作成してください)");
  EXPECT_EQ(FileTitleOf(L""), L"(登録ファイルを新規作成してください)");
  EXPECT_EQ(FileTitleOf(L"C:a.zrd"), L"a.zrd");
  EXPECT_EQ(FileTitleOf(L"C:\\data\\"), L"");
}

TEST(FolderOf, Cases) {
  EXPECT_EQ(FolderOf(L"C:\\data\\a.txt"), L"C:\\data\\");
  EXPECT_EQ(FolderOf(L"a.txt"), L"");
  EXPECT_EQ(FolderOf(L"C:a.txt"), L"C:");
}

TEST(ParseParentHandle, Suffixes) {
  EXPECT_EQ(ParseParentHandle(L"/p 1234"), 1234);
  EXPECT_EQ(ParseParentHandle(L"/p:1234"), 1234);
  EXPECT_EQ(ParseParentHandle(L"  /P 5678  "), 5678);
  EXPECT_EQ(ParseParentHandle(L"/p 0"), 0);
  EXPECT_EQ(ParseParentHandle(L"/p"), 0);
  EXPECT_EQ(ParseParentHandle(L"/pabc"), 0);
  EXPECT_EQ(ParseParentHandle(L""), 0);
  EXPECT_EQ(ParseParentHandle(L"/p 12 34"), 34) << "the longest numeric suffix";
  EXPECT_EQ(ParseParentHandle(L"/p 2.5"), 2) << "rounded half to even";
  EXPECT_EQ(ParseParentHandle(L"/p 3.5"), 4);
  EXPECT_EQ(ParseParentHandle(L"/p -7"), -7);
  EXPECT_EQ(ParseParentHandle(L"/p 2147483647"), 2147483647);
}

TEST(ParseParentHandle, OutOfRangeOrHostileGivesNoHandle) {
  EXPECT_EQ(ParseParentHandle(L"/p 2147483648"), 0);
  EXPECT_EQ(ParseParentHandle(L"/p 99999999999999999999999"), 0);
  EXPECT_EQ(ParseParentHandle(L"/p 1e400"), 0);
  EXPECT_EQ(ParseParentHandle(std::wstring(100000, L'9')), 0);
  EXPECT_EQ(ParseParentHandle(L"/p \uFF11\uFF12"), 0) << "full-width digits are not a number";
}

TEST(ReadNumber, Forms) {
  EXPECT_EQ(ReadNumber(L" 12 "), 12.0);
  EXPECT_EQ(ReadNumber(L"-1.5e2"), -150.0);
  EXPECT_EQ(ReadNumber(L".5"), 0.5);
  EXPECT_FALSE(ReadNumber(L"1e"));
  EXPECT_FALSE(ReadNumber(L"+"));
  EXPECT_FALSE(ReadNumber(L""));
  EXPECT_FALSE(ReadNumber(L"1 2"));
}

}  // namespace
}  // namespace zor

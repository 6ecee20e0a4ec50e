#include "win/startup/crash_guard.h"

#include <gtest/gtest.h>

#include "../core/temp_folder.h"

namespace zor::win {
namespace {

bool ScreenSaverActive() {
  BOOL active = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  return active != FALSE;
}

TEST(CrashGuard, TheLineHoldsTheTimeTheCodeAndTheAddress) {
  SYSTEMTIME t{};
  t.wYear = 2026;
  t.wMonth = 3;
  t.wDay = 7;
  t.wHour = 9;
  t.wMinute = 5;
  t.wSecond = 1;
  char line[96];
  const std::size_t n =
      FormatCrashLine(t, EXCEPTION_ACCESS_VIOLATION, reinterpret_cast<const void*>(0x140001A2Bu), line, sizeof line);
  EXPECT_STREQ(line, "2026-03-07 09:05:01 exception 0xC0000005 at 0x0000000140001A2B\r\n");
  EXPECT_EQ(n, std::char_traits<char>::length(line));
}

TEST(CrashGuard, ACrashSwitchesTheActivationBackOnAndAppendsOneLine) {
  const bool before = ScreenSaverActive();
  testing::TempFolder dir;
  const std::filesystem::path log = dir / kCrashLogName;
  testing::WriteBytes(log, "earlier line\r\n");
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
  ASSERT_FALSE(ScreenSaverActive());
  RecordCrash(log.c_str(), EXCEPTION_INT_DIVIDE_BY_ZERO, reinterpret_cast<const void*>(0x1234));
  EXPECT_TRUE(ScreenSaverActive());
  const std::string text = testing::ReadBytes(log);
  ASSERT_EQ(text.rfind("earlier line\r\n", 0), 0u) << text;
  const std::string added = text.substr(14);
  EXPECT_NE(added.find(" exception 0xC0000094 at 0x0000000000001234\r\n"), std::string::npos) << added;
  EXPECT_EQ(added.find('\n'), added.size() - 1) << "one line";
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, before ? TRUE : FALSE, nullptr, 0);
}

}  // namespace
}  // namespace zor::win

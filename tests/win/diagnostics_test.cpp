#include "win/common/diagnostics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "win/common/dib.h"

namespace zor::win {
namespace {

UniqueFont MakeFont(int height) {
  return UniqueFont(CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
}

TEST(OwnedCounts, FollowWhatTheOwnersHoldThroughResetMoveAndRelease) {
  const std::int32_t fonts = OwnedLive(Owned::kFont);
  const std::int32_t bitmaps = OwnedLive(Owned::kBitmap);
  const std::int32_t dcs = OwnedLive(Owned::kMemoryDc);
  {
    UniqueFont a = MakeFont(10);
    UniqueFont b = MakeFont(11);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(OwnedLive(Owned::kFont), fonts + 2);
    a.reset(MakeFont(12).release());  // the old font goes, the new one counts once
    EXPECT_EQ(OwnedLive(Owned::kFont), fonts + 2);
    UniqueFont c(std::move(a));
    EXPECT_EQ(OwnedLive(Owned::kFont), fonts + 2) << "a move hands the count over";
    c = std::move(b);
    EXPECT_EQ(OwnedLive(Owned::kFont), fonts + 1) << "the font c held went";
    HFONT taken = c.release();
    EXPECT_EQ(OwnedLive(Owned::kFont), fonts) << "a released handle is the caller's";
    DeleteObject(taken);
    UniqueFont none(nullptr);
    none.reset();
    EXPECT_EQ(OwnedLive(Owned::kFont), fonts) << "an empty owner counts nothing";

    DibImage image;
    ASSERT_TRUE(image.Create(8, 8));
    EXPECT_EQ(OwnedLive(Owned::kBitmap), bitmaps + 1);
    EXPECT_EQ(OwnedLive(Owned::kMemoryDc), dcs + 1);
  }
  EXPECT_EQ(OwnedLive(Owned::kFont), fonts);
  EXPECT_EQ(OwnedLive(Owned::kBitmap), bitmaps);
  EXPECT_EQ(OwnedLive(Owned::kMemoryDc), dcs);
  EXPECT_EQ(OwnedLive(Owned::kNone), 0);
}

TEST(ProcessFigures, SeeThisProcessesMemoryHandlesWindowsAndGdiTable) {
  const ProcessFigures before = ReadProcessFigures(GetCurrentProcess(), GetCurrentProcessId());
  const GdiTableCounts tableBefore = ReadOwnGdiTable();
  EXPECT_TRUE(before.memoryRead);
  EXPECT_GT(before.workingSet, 0u);
  EXPECT_GE(before.threads, 1u);

  std::vector<UniqueFont> fonts;
  for (int i = 0; i < 10; ++i) fonts.push_back(MakeFont(20 + i));
  std::vector<UniqueKernelHandle> events;
  for (int i = 0; i < 10; ++i) events.emplace_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);

  const ProcessFigures holding = ReadProcessFigures(GetCurrentProcess(), GetCurrentProcessId());
  EXPECT_GE(holding.windows, before.windows + 1);
  if (before.systemHandles >= 0) {
    EXPECT_GE(holding.systemHandles, before.systemHandles + 10);
  }
  const GdiTableCounts table = ReadOwnGdiTable();
  if (tableBefore.total >= 0) {
    EXPECT_GE(table.fonts, tableBefore.fonts + 10);
    EXPECT_GE(table.total, tableBefore.total + 10);
  }
}

// The whole system's count takes in other processes' handles and follows
// this one's (others may open or close a few meanwhile: hence 50 and 40).
TEST(SystemHandleTotal, CountsEveryProcessAndFollowsThisOne) {
  const long before = SystemHandleTotal();
  if (before < 0) GTEST_SKIP() << "the system's handle list cannot be read";
  const ProcessFigures own = ReadProcessFigures(GetCurrentProcess(), GetCurrentProcessId());
  EXPECT_GT(before, own.systemHandles) << "only this process's handles were counted";
  long holding = 0;
  {
    std::vector<UniqueKernelHandle> events;
    for (int i = 0; i < 50; ++i) events.emplace_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    holding = SystemHandleTotal();
    EXPECT_GE(holding, before + 40);
  }
  EXPECT_LE(SystemHandleTotal(), holding - 40);
}

// Sets an environment variable for a scope; empty text unsets it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
    SetEnvironmentVariableW(name, value && *value ? value : nullptr);
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const wchar_t* name_;
};

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::size_t Fields(const std::string& line) {
  std::size_t n = 1;
  for (char c : line) n += c == ',';
  return n;
}

TEST(SoakLog, OnlyWhenTheEnvironmentNamesAFileWithItsPeriod) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / L"zor_soak_test.csv";
  std::filesystem::remove(file);
  {
    ScopedEnvironment log(L"ZOR_SOAK_LOG", nullptr);
    EXPECT_EQ(SoakLog::FromEnvironment(), nullptr) << "no log in a normal run";
  }
  struct Case {
    const wchar_t* seconds;
    UINT periodMs;
  };
  for (const Case& c : {Case{nullptr, 60000}, Case{L"5", 5000}, Case{L"0", 60000}, Case{L"abc", 60000},
                        Case{L"999999", 60000}, Case{L"86400", 86400000}}) {
    ScopedEnvironment log(L"ZOR_SOAK_LOG", file.c_str());
    ScopedEnvironment seconds(L"ZOR_SOAK_SECONDS", c.seconds);
    const auto soak = SoakLog::FromEnvironment();
    ASSERT_NE(soak, nullptr);
    EXPECT_EQ(soak->PeriodMs(), c.periodMs) << (c.seconds ? c.seconds : L"(unset)");
  }

  SoakLog soak(file, 1000);
  ASSERT_TRUE(soak.Append(0));
  ASSERT_TRUE(soak.Append(7));
  const std::vector<std::string> lines = Lines(file);
  ASSERT_EQ(lines.size(), 3u) << "one header, one line per append";
  EXPECT_EQ(lines[0].rfind("seconds,ticks,ws_kb,", 0), 0u) << lines[0];
  EXPECT_EQ(Fields(lines[1]), Fields(lines[0]));
  EXPECT_EQ(Fields(lines[2]), Fields(lines[0]));
  EXPECT_NE(lines[2].find(",7,"), std::string::npos) << lines[2];
  std::filesystem::remove(file);

  SoakLog nowhere(std::filesystem::path(L"Z:\\no\\such\\folder\\log.csv"), 1000);
  EXPECT_FALSE(nowhere.Append(0)) << "a file that cannot be written is reported, not thrown";
}

TEST(ShownLog, OnlyWhenTheEnvironmentNamesAFileOneUtf8LineAPage) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / L"zor_shown_test.txt";
  std::filesystem::remove(file);
  {
    ScopedEnvironment log(L"ZOR_SHOWN_LOG", nullptr);
    EXPECT_EQ(ShownLog::FromEnvironment(), nullptr) << "no log in a normal run";
  }
  ScopedEnvironment log(L"ZOR_SHOWN_LOG", file.c_str());
  const auto shown = ShownLog::FromEnvironment();
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(shown->Append(L"夜明けの前が一番暗い"));
  ASSERT_TRUE(shown->Append(L""));
  ASSERT_TRUE(shown->Append(L"Rome ～ 〜"));
  const std::vector<std::string> lines = Lines(file);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0],
            "\xE5\xA4\x9C\xE6\x98\x8E\xE3\x81\x91\xE3\x81\xAE\xE5\x89\x8D\xE3\x81\x8C"
            "\xE4\xB8\x80\xE7\x95\xAA\xE6\x9A\x97\xE3\x81\x84");
  EXPECT_EQ(lines[1], "") << "a blank page is a line of its own";
  EXPECT_EQ(lines[2], "Rome \xEF\xBD\x9E \xE3\x80\x9C");
  std::filesystem::remove(file);

  const ShownLog nowhere(std::filesystem::path(L"Z:\\no\\such\\folder\\shown.txt"));
  EXPECT_FALSE(nowhere.Append(L"x"));
}

}  // namespace
}  // namespace zor::win

#include "tool/tool.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include "core/version.h"

namespace zor::tool {
namespace {

using testing::Tool;
using testing::ToolRun;

TEST(ZortoolDate, PrintsTheKanjiDate) {
  ToolRun r = Tool({L"date", L"--unit-year", L"1997/12/25"});
  EXPECT_EQ(r.rc, kDone);
  EXPECT_EQ(r.out, L"西暦千九百九十七年十二月二十五日\n");
  EXPECT_EQ(r.err, L"");
  EXPECT_EQ(Tool({L"date", L"--formal", L"1997/12/25"}).out, L"西暦壱九九七年拾弐月弐拾伍日\n");
  EXPECT_EQ(Tool({L"date", L"1997/12/25", L"--formal", L"--unit-year"}).out, L"西暦千九百九拾七年拾弐月弐拾伍日\n");
  r = Tool({L"date"});
  EXPECT_EQ(r.rc, kDone);
  EXPECT_EQ(r.out.substr(0, 2), L"西暦");
}

TEST(ZortoolTime, PrintsTheKanjiTime) {
  EXPECT_EQ(Tool({L"time", L"15:30:00"}).out, L"午後三時三十分\n");
  EXPECT_EQ(Tool({L"time", L"--formal", L"00:00:00"}).out, L"午前零時零分\n");
  EXPECT_EQ(Tool({L"time"}).rc, kDone);
}

TEST(ZortoolErrors, UsageAndRefusals) {
  struct Case {
    std::vector<std::wstring> args;
    int rc;
  };
  const Case cases[] = {
      {{}, kUsage},
      {{L"frobnicate"}, kUsage},
      {{L"date", L"--bogus"}, kUsage},
      {{L"date", L"1997/12/25", L"1997/12/26"}, kUsage},
      {{L"time", L"--unit-year", L"10:00:00"}, kUsage},
      {{L"date", L"1997/13/25"}, kRefused},
      {{L"date", L"97/12/25"}, kRefused},
      {{L"date", L"１９９７/12/25"}, kRefused},
      {{L"date", std::wstring(100000, L'9')}, kRefused},
      {{L"time", L"25:00:00"}, kRefused},
      {{L"time", L"1:00:00"}, kRefused},
  };
  for (const Case& c : cases) {
    const ToolRun r = Tool(c.args);
    EXPECT_EQ(r.rc, c.rc);
    EXPECT_EQ(r.out, L"");
    // One line saying why.
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find(L'\n'), r.err.size() - 1);
  }
}

TEST(ZortoolInfo, HelpAndVersion) {
  ToolRun r = Tool({L"--version"});
  EXPECT_EQ(r.rc, kDone);
  EXPECT_EQ(r.out, L"zortool " + std::wstring(kVersion) + L"\n");
  r = Tool({L"--help"});
  EXPECT_EQ(r.rc, kDone);
  EXPECT_NE(r.out.find(L"date"), std::wstring::npos);
}

}  // namespace
}  // namespace zor::tool

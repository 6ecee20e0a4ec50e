#include "core/data/import_report.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(ImportReports, SayWhatWasDoneOnlyWhenThereIsMoreThanTheCount) {
  ImportReport plain{.registered = 10, .skipped = {.blank = 3}};
  EXPECT_EQ(ImportReportText(plain), L"") << "CP932 and blank lines only: no report";
  EXPECT_EQ(ImportReportLine(plain), L"import: read as Shift_JIS, 10 registered, 3 skipped (3 blank, 0 too long, "
                                     L"0 with characters Shift_JIS cannot hold, 0 over the limit of 500)");

  ImportReport utf8{.registered = 10, .skipped = {}, .encoding = TextEncoding::kUtf8};
  EXPECT_EQ(ImportReportText(utf8), L"10 件の文章を登録しました。\r\n文字コード: UTF-8");

  ImportReport skipped{.registered = 100, .limit = 100, .skipped = {.blank = 1, .unstorable = 2, .overLimit = 5}};
  EXPECT_EQ(ImportReportText(skipped),
            L"100 件の文章を登録しました。\r\n文字コード: Shift_JIS\r\n\r\n登録しなかった行:\r\n　空行: 1"
            L"\r\n　Shift_JIS で保存できない文字を含む行: 2\r\n　上限（100 件）を超えた行: 5");

  ImportReport none{.skipped = {}, .encoding = TextEncoding::kUtf16Be};
  EXPECT_EQ(ImportReportText(none), L"登録できる文章はありませんでした。\r\n文字コード: UTF-16 BE");
  EXPECT_EQ(ImportReportLine(none), L"import: read as UTF-16 BE, 0 registered (nothing to register), 0 skipped");
}

}  // namespace
}  // namespace zor

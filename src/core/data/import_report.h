// What an import did, in the words the settings dialog and zortool use.
#pragma once

#include <string>
#include <string_view>

#include "core/data/import_lines.h"

namespace zor {

// "Shift_JIS", "UTF-8", "UTF-8 (BOM)", "UTF-16 LE", "UTF-16 BE", "EUC-JP", "ISO-2022-JP".
[[nodiscard]] std::wstring_view EncodingName(TextEncoding encoding);

struct ImportReport {
  int registered = 0;
  int limit = 500;  // the most lines the import registers
  SkippedLines skipped;
  TextEncoding encoding = TextEncoding::kCp932;
  int tabs = 0;  // registered lines whose TABs became blanks
};

// The report for the user, one fact a line; empty when there is nothing to
// say beyond the count (every line registered from CP932; blank lines do not count).
[[nodiscard]] std::wstring ImportReportText(const ImportReport& report);

// The report on one line (zortool's stderr).
[[nodiscard]] std::wstring ImportReportLine(const ImportReport& report);

// Why an import that registers nothing creates no file, on one line.
[[nodiscard]] std::wstring NothingImportedSentence(const ImportReport& report);

// Why a file that no encoding reads cleanly is not imported.
inline constexpr std::wstring_view kUnreadableTextMessage =
    L"どの文字コード（UTF-8、UTF-16、EUC-JP、ISO-2022-JP、Shift_JIS）でも正しく読めないため、"
    L"インポートしませんでした。テキストファイルではないか、対応していない文字コードです";

}  // namespace zor

#include "core/data/import_report.h"

namespace zor {

std::wstring_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kCp932: return L"Shift_JIS";
    case TextEncoding::kUtf8: return L"UTF-8";
    case TextEncoding::kUtf8WithMark: return L"UTF-8 (BOM)";
    case TextEncoding::kUtf16Le: return L"UTF-16 LE";
    case TextEncoding::kUtf16Be: return L"UTF-16 BE";
  }
  return L"Shift_JIS";
}

std::wstring ImportReportText(const ImportReport& report) {
  const SkippedLines& s = report.skipped;
  const bool plain = report.registered > 0 && report.encoding == TextEncoding::kCp932 && s.Total() == s.blank;
  if (plain) return {};
  std::wstring text = report.registered > 0 ? std::to_wstring(report.registered) + L" 件の文章を登録しました。"
                                            : std::wstring(L"登録できる文章はありませんでした。");
  text += L"\r\n文字コード: ";
  text += EncodingName(report.encoding);
  if (s.Total() > 0) {
    text += L"\r\n\r\n登録しなかった行:";
    const auto reason = [&](int count, const std::wstring& what) {
      if (count > 0) text += L"\r\n　" + what + L": " + std::to_wstring(count);
    };
    reason(s.blank, L"空行");
    reason(s.tooLong, L"長すぎる行");
    reason(s.unstorable, L"Shift_JIS で保存できない文字を含む行");
    reason(s.overLimit, L"上限（" + std::to_wstring(report.limit) + L" 件）を超えた行");
  }
  return text;
}

std::wstring ImportReportLine(const ImportReport& report) {
  const SkippedLines& s = report.skipped;
  std::wstring line = L"import: read as " + std::wstring(EncodingName(report.encoding)) + L", " +
                      std::to_wstring(report.registered) + L" registered";
  if (report.registered == 0) line += L" (nothing to register)";
  line += L", " + std::to_wstring(s.Total()) + L" skipped";
  if (s.Total() > 0) {
    line += L" (" + std::to_wstring(s.blank) + L" blank, " + std::to_wstring(s.tooLong) + L" too long, " +
            std::to_wstring(s.unstorable) + L" with characters Shift_JIS cannot hold, " +
            std::to_wstring(s.overLimit) + L" over the limit of " + std::to_wstring(report.limit) + L")";
  }
  return line;
}

}  // namespace zor

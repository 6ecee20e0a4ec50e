#include "core/data/import_report.h"

namespace zor {

std::wstring_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kCp932: return L"Shift_JIS";
    case TextEncoding::kUtf8: return L"UTF-8";
    case TextEncoding::kUtf8WithMark: return L"UTF-8 (BOM)";
    case TextEncoding::kUtf16Le: return L"UTF-16 LE";
    case TextEncoding::kUtf16Be: return L"UTF-16 BE";
    case TextEncoding::kEucJp: return L"EUC-JP";
    case TextEncoding::kIso2022Jp: return L"ISO-2022-JP";
  }
  return L"Shift_JIS";
}

namespace {

// Each reason a line was not registered, with its count, in the report's order.
template <class F>
void ForEachReason(const ImportReport& report, F f) {
  const SkippedLines& s = report.skipped;
  const std::wstring encoding(EncodingName(report.encoding));
  f(s.blank, L"空行");
  f(s.tooLong, L"長すぎる行");
  f(s.malformed, encoding + L" として読めないバイトを含む行");
  f(s.control, L"制御文字を含む行");
  f(s.jisX0212, L"JIS X 0212 の文字（Shift_JIS で保存できない文字）を含む行");
  f(s.unstorable, L"Shift_JIS で保存できない文字を含む行");
  f(s.overLimit, L"上限（" + std::to_wstring(report.limit) + L" 件）を超えた行");
}

}  // namespace

std::wstring ImportReportText(const ImportReport& report) {
  const SkippedLines& s = report.skipped;
  const bool plain =
      report.registered > 0 && report.encoding == TextEncoding::kCp932 && s.Total() == s.blank && report.tabs == 0;
  if (plain) return {};
  std::wstring text = report.registered > 0 ? std::to_wstring(report.registered) + L" 件の文章を登録しました。"
                                            : std::wstring(L"登録できる文章はありませんでした。");
  text += L"\r\n文字コード: ";
  text += EncodingName(report.encoding);
  if (report.tabs > 0) text += L"\r\nタブを空白にした行: " + std::to_wstring(report.tabs);
  if (s.Total() > 0) {
    text += L"\r\n\r\n登録しなかった行:";
    ForEachReason(report, [&](int count, const std::wstring& what) {
      if (count > 0) text += L"\r\n　" + what + L": " + std::to_wstring(count);
    });
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
            std::to_wstring(s.overLimit) + L" over the limit of " + std::to_wstring(report.limit);
    const auto more = [&](int count, std::wstring_view what) {
      if (count > 0) line += L", " + std::to_wstring(count) + std::wstring(what);
    };
    more(s.malformed, L" not valid " + std::wstring(EncodingName(report.encoding)));
    more(s.control, L" with control characters");
    more(s.jisX0212, L" with JIS X 0212 characters");
    line += L")";
  }
  if (report.tabs > 0) line += L", TABs made blanks in " + std::to_wstring(report.tabs);
  return line;
}

std::wstring NothingImportedSentence(const ImportReport& report) {
  std::wstring reasons;
  ForEachReason(report, [&](int count, const std::wstring& what) {
    if (count > 0) reasons += L"、" + what + L": " + std::to_wstring(count);
  });
  return L"登録できる文章がないため、ファイルを作りませんでした（文字コード: " +
         std::wstring(EncodingName(report.encoding)) + reasons + L"）";
}

}  // namespace zor

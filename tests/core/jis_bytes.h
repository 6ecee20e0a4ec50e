// Test helpers: CP932 bytes rewritten as EUC-JP and ISO-2022-JP by the
// inverse of the converters' arithmetic (Shift_JIS to JIS row and cell).
#pragma once

#include <string>
#include <string_view>

namespace zor::testing {

struct RowCell {
  int row;
  int cell;
};

inline RowCell RowCellOfShiftJis(unsigned char lead, unsigned char trail) {
  const int rowPair = lead <= 0x9F ? lead - 0x81 : lead - 0xC1;
  if (trail >= 0x9F) return {rowPair * 2 + 2, trail - 0x9E};
  return {rowPair * 2 + 1, trail - 0x3F - (trail >= 0x80 ? 1 : 0)};
}

inline bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

inline std::string EucOfCp932(std::string_view cp932) {
  std::string out;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (IsLead(b) && i + 1 < cp932.size()) {
      const RowCell rc = RowCellOfShiftJis(b, static_cast<unsigned char>(cp932[++i]));
      out += static_cast<char>(rc.row + 0xA0);
      out += static_cast<char>(rc.cell + 0xA0);
    } else if (b >= 0xA1 && b <= 0xDF) {
      out += '\x8E';
      out += static_cast<char>(b);
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

// Each line ends in ASCII, as RFC 1468 asks; half-width katakana by ESC ( I.
inline std::string IsoOfCp932(std::string_view cp932) {
  std::string out;
  char set = 'B';  // 'B' ASCII, '$' JIS X 0208, 'I' kana
  const auto to = [&](char s) {
    if (s == set) return;
    out += s == '$' ? "\x1B$B" : s == 'I' ? "\x1B(I" : "\x1B(B";
    set = s;
  };
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (IsLead(b) && i + 1 < cp932.size()) {
      to('$');
      const RowCell rc = RowCellOfShiftJis(b, static_cast<unsigned char>(cp932[++i]));
      out += static_cast<char>(rc.row + 0x20);
      out += static_cast<char>(rc.cell + 0x20);
    } else if (b >= 0xA1 && b <= 0xDF) {
      to('I');
      out += static_cast<char>(b - 0x80);
    } else {
      if (b == '\r' || b == '\n') to('B');
      if (b >= 0x20) to('B');
      out += static_cast<char>(b);
    }
  }
  to('B');
  return out;
}

}  // namespace zor::testing

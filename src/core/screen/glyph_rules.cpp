#include "core/screen/glyph_rules.h"

#include <array>
#include <cmath>

namespace zor {

float RoundOff(float x) noexcept {
  const double v = static_cast<double>(x);
  const double whole = std::trunc(v);
  const double tenths = std::trunc(v * 10.0);
  const auto lastDigit = static_cast<long long>(std::fmod(std::fabs(tenths), 10.0));
  if (lastDigit < 5) return static_cast<float>(whole);
  return static_cast<float>(whole + (v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0)));
}

namespace {
constexpr std::array<float, 8> kDx = {1, -1, 0, 0, 1, 1, -1, -1};
constexpr std::array<float, 8> kDy = {0, 0, 1, -1, 1, -1, -1, 1};
}  // namespace

float OutlineDX(int d) noexcept { return d >= 0 && d < 8 ? kDx[static_cast<std::size_t>(d)] : 0.0f; }
float OutlineDY(int d) noexcept { return d >= 0 && d < 8 ? kDy[static_cast<std::size_t>(d)] : 0.0f; }

bool IsFoldSensitive(std::wstring_view ch) {
  static constexpr std::wstring_view kSensitive =
      L"ぁぃぅぇぉっゃゅょァィゥェォッャュョ、。\uFF5E\u30FC\u2026「」\u30FB\uFF0D";
  return ch.size() == 1 && kSensitive.find(ch[0]) != std::wstring_view::npos;
}

}  // namespace zor

// The same vectors run natively (iconv) and under Wine (code page 932 API);
// both must give these bytes.
#include "core/text/cp932.h"

#include <gtest/gtest.h>

#include "core/text/unicode.h"

namespace zor {
namespace {

struct Vector {
  const wchar_t* text;
  const char* bytes;
  const char* note;
};

const Vector kRoundTrip[] = {
    {L"abc", "abc", "ASCII is itself"},
    {L"\\~", "\x5C\x7E", "0x5C is the backslash and 0x7E the tilde, not yen and overline"},
    {L"あ", "\x82\xA0", "hiragana a: lead 0x82, trail 0xA0"},
    {L"ア", "\x83\x41", "katakana a: trail byte 0x41 is ASCII 'A'"},
    {L"ソ", "\x83\x5C", "katakana so: trail byte 0x5C is ASCII backslash"},
    {L"漢字", "\x8A\xBF\x8E\x9A", "two kanji"},
    {L"ｱｲｳ", "\xB1\xB2\xB3", "half-width katakana: one byte each"},
    {L"｡", "\xA1", "half-width ideographic full stop, the first single-byte katakana"},
    {L"\uFF5E", "\x81\x60", "0x8160 is the full-width tilde U+FF5E (not the wave dash)"},
    {L"\u3000", "\x81\x40", "ideographic space"},
    {L"①", "\x87\x40", "NEC special character"},
    {L"髙", "\xFB\xFC", "IBM extension"},
    {L"\uE000", "\xF0\x40", "user-defined area maps to private use"},
    {L"", "", "empty"},
};

TEST(Cp932, RoundTripVectors) {
  for (const Vector& v : kRoundTrip) {
    EXPECT_EQ(ToCp932(v.text), std::string(v.bytes)) << v.note;
    EXPECT_EQ(FromCp932(v.bytes), std::wstring(v.text)) << v.note;
    EXPECT_TRUE(FitsCp932(v.text)) << v.note;
  }
}

TEST(Cp932, CharactersWithoutACp932FormBecomeOneQuestionMarkEach) {
  EXPECT_EQ(ToCp932(L"a\u00E9b"), "a?b") << "e acute: no best-fit 'e'";
  EXPECT_EQ(ToCp932(L"\u00A5"), "?") << "yen sign is not folded onto the backslash";
  EXPECT_EQ(ToCp932(L"\u301C"), "?") << "the wave dash is not 0x8160 here";
  EXPECT_EQ(ToCp932(L"\uD55C\uAE00"), "??") << "hangul";
  std::wstring emoji;
  AppendCodePoint(emoji, U'\U0001F600');
  EXPECT_EQ(ToCp932(L"x" + emoji + L"y"), "x?y") << "a character beyond U+FFFF is one '?'";
  EXPECT_FALSE(FitsCp932(L"a\u00E9"));
  EXPECT_TRUE(FitsCp932(L"?"));
  EXPECT_EQ(Cp932Length(L"あa\u00E9"), 4u);
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(FromCp932("\x82"), L"\uFFFD") << "a lone lead byte at the end";
  EXPECT_EQ(FromCp932("a\x82"), L"a\uFFFD");
  EXPECT_EQ(FromCp932("\x82\x20" "b"), L"\uFFFD b") << "lead byte before a blank: the blank stays";
  EXPECT_EQ(FromCp932("\x85\x40"), L"\uFFFD") << "an unassigned pair is one character";
  EXPECT_EQ(FromCp932("\x80"), L"\uFFFD");
  EXPECT_EQ(FromCp932("\xA0"), L"\uFFFD");
  EXPECT_EQ(FromCp932("\xFD\xFE\xFF"), L"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromCp932("\x82\xA0\x82"), L"あ\uFFFD") << "a text cut inside its last character";
}

TEST(Cp932, LeadAndTrailByteClasses) {
  EXPECT_TRUE(IsCp932LeadByte(0x81));
  EXPECT_TRUE(IsCp932LeadByte(0x9F));
  EXPECT_TRUE(IsCp932LeadByte(0xE0));
  EXPECT_TRUE(IsCp932LeadByte(0xFC));
  EXPECT_FALSE(IsCp932LeadByte(0x80));
  EXPECT_FALSE(IsCp932LeadByte(0xA1));
  EXPECT_FALSE(IsCp932LeadByte(0xDF));
  EXPECT_FALSE(IsCp932LeadByte(0xFD));
  EXPECT_TRUE(IsCp932TrailByte(0x40));
  EXPECT_FALSE(IsCp932TrailByte(0x7F));
  EXPECT_FALSE(IsCp932TrailByte(0xFD));
}

TEST(Cp932, EveryDoubleByteCharacterDecodesToSomethingThatEncodesBack) {
  // Whatever a platform decodes a pair to must encode to a pair that decodes
  // to the same character (NEC and IBM duplicates may pick the other pair).
  int pairs = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsCp932TrailByte(static_cast<unsigned char>(trail))) continue;
      const std::string bytes = {static_cast<char>(lead), static_cast<char>(trail)};
      const std::wstring text = FromCp932(bytes);
      ASSERT_FALSE(text.empty());
      if (text == L"\uFFFD") continue;
      ++pairs;
      const std::string back = ToCp932(text);
      ASSERT_EQ(back.size(), 2u) << std::hex << lead << " " << trail;
      ASSERT_EQ(FromCp932(back), text) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_GT(pairs, 7000) << "JIS X 0208 with the Windows extensions and the user-defined area";
}

// The codec keeps each character's form once the platform gave it: the
// first and every later answer agree, a form decodes to its character, and a
// text's form is its characters' forms one after another.
TEST(Cp932, EveryBmpCharacterHasOneStableForm) {
  std::wstring all;
  std::string forms;
  int encodable = 0;
  for (char32_t cp = 0x20; cp <= 0xFFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::wstring one;
    AppendCodePoint(one, cp);
    const std::string form = ToCp932(one);
    ASSERT_EQ(ToCp932(one), form) << std::hex << static_cast<unsigned>(cp);
    ASSERT_EQ(Cp932Length(one), form.size());
    ASSERT_EQ(FitsCp932(one), cp == U'?' || form != "?") << std::hex << static_cast<unsigned>(cp);
    if (form != "?") {
      ASSERT_LE(form.size(), 2u);
      ASSERT_EQ(FromCp932(form), one) << std::hex << static_cast<unsigned>(cp);
      ++encodable;
    }
    all += one;
    forms += form;
  }
  EXPECT_EQ(ToCp932(all), forms);
  EXPECT_EQ(Cp932Length(all), forms.size());
  EXPECT_GT(encodable, 7000 + 95 + 63) << "the double-byte set, ASCII and the half-width katakana";
}

TEST(Unicode, Utf8AndUtf16Measures) {
  EXPECT_EQ(ToUtf8(L"西暦"), "\xE8\xA5\xBF\xE6\x9A\xA6");
  EXPECT_EQ(FromUtf8("\xE8\xA5\xBF\xE6\x9A\xA6"), L"西暦");
  EXPECT_EQ(FromUtf8("a\xFF" "b"), L"a\uFFFD" "b");
  EXPECT_EQ(FromUtf8("\xE8\xA5"), L"\uFFFD\uFFFD") << "truncated sequence";
  EXPECT_EQ(FromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD") << "overlong form";
  std::wstring emoji;
  AppendCodePoint(emoji, U'\U0001F600');
  EXPECT_EQ(Utf16Length(emoji), 2u);
  EXPECT_EQ(Utf16Length(L"あa"), 2u);
  EXPECT_EQ(FromUtf8(ToUtf8(emoji)), emoji);
  EXPECT_EQ(CodePoints(emoji).size(), 1u);
}

}  // namespace
}  // namespace zor

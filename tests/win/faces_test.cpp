// The shared Windows helpers: whether a face is installed, and the palette
// as GDI colours.
#include "win/common/faces.h"

#include <gtest/gtest.h>

#include <string>

#include "core/data/settings_schema.h"
#include "win/common/handles.h"
#include "win/common/palette_colours.h"

namespace zor::win {
namespace {

TEST(FaceInstalled, AVerticalFaceCountsByItselfOrByTheFaceBehindIt) {
  if (!FaceInstalled(L"IPAMincho")) GTEST_SKIP() << "IPAMincho is not installed";
  EXPECT_TRUE(FaceInstalled(L"@IPAMincho"));
  EXPECT_FALSE(FaceInstalled(L"No Such Face 7"));
  EXPECT_FALSE(FaceInstalled(L"@No Such Face 7"));
  EXPECT_FALSE(FaceInstalled(L""));
  EXPECT_FALSE(FaceInstalled(L"@"));
  EXPECT_FALSE(FaceInstalled(std::wstring(kFaceNameMaxChars + 1, L'x'))) << "longer than a font's name";
  // The saver asks its page's device; the answer is the screen's.
  UniqueMemoryDc page(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(page);
  EXPECT_TRUE(FaceInstalled(page.get(), L"@IPAMincho"));
  EXPECT_FALSE(FaceInstalled(page.get(), L"@No Such Face 7"));
}

TEST(ListedFace, AFaceIsFoundByAnyFamilyNameItsFontCarries) {
  if (!FaceInstalled(L"IPAMincho")) GTEST_SKIP() << "IPAMincho is not installed";
  // Wine lists the family under the user's language's name or the English
  // one; the Japanese name the font carries leads to whichever is listed.
  const auto carrier = FamilyCarryingName(L"IPA明朝");
  ASSERT_TRUE(carrier.has_value());
  EXPECT_TRUE(*carrier == L"IPAMincho" || *carrier == L"IPA明朝") << *carrier;
  EXPECT_EQ(FamilyCarryingName(L"ipamincho"), carrier) << "letter case aside";
  EXPECT_FALSE(FamilyCarryingName(L"IPAMincho Regular")) << "a full name is not a family name";

  UniqueMemoryDc page(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(page);
  EXPECT_EQ(ListedFace(page.get(), L"IPAMincho"), L"IPAMincho") << "a listed face stays as it is";
  const auto vertical = ListedFace(page.get(), L"@IPA明朝");
  ASSERT_TRUE(vertical.has_value());
  EXPECT_EQ(vertical->front(), L'@');
  EXPECT_FALSE(ListedFace(page.get(), L"No Such Face 7"));
  EXPECT_FALSE(ListedFace(page.get(), L"@"));
}

TEST(PaletteColours, IndexesAsGdiColours) {
  EXPECT_EQ(ColourOf(0), RGB(0, 0, 0));
  EXPECT_EQ(ColourOf(12), RGB(255, 0, 0));
  EXPECT_EQ(ColourOf(1), RGB(0, 0, 128));
  EXPECT_EQ(ColourOf(15), RGB(255, 255, 255));
  EXPECT_EQ(ColourOf(16), ColourOf(0)) << "indexes wrap as the palette does";
  EXPECT_EQ(ToColorRef(Rgb{1, 2, 3}), RGB(1, 2, 3));
}

}  // namespace
}  // namespace zor::win

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

#include "core/screen/saver_options.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(SaverOptionsOf, TakesTheHeadersDisplayOptionsAndTheSettingsEachOnce) {
  RegistrationHeader header;
  header.count = 37;
  header.options = {4000, 2, 0, 1, 9, 2};  // interval, scheme, emphasis off, order, colour, layout
  Settings s;
  s.useFont = L"IPAMincho";
  s.useFontBold = 0;
  s.decoFont = 3;
  s.kanS = -1;
  s.seireki = 1;
  s.bwByFn = -1;
  s.bgBmp = 4;
  s.bgBmpDir = L"C:\\背景";
  s.bgBmpBmp = L"C:\\背景\\a.bmp";
  s.bgBmpStr = 2;
  s.bgBmpDorB = -1;
  s.itBmp = 2;
  s.itBmpDir = L"C:\\合間";
  s.itBmpStr = 3;
  const SaverOptions o = SaverOptionsOf(header, s);

  const SequencerOptions& q = o.sequence;
  EXPECT_EQ(q.count, 37);
  EXPECT_EQ(q.interval, 4000);
  EXPECT_EQ(q.scheme, 2);
  EXPECT_EQ(q.order, 1);
  EXPECT_EQ(q.layout, 2);
  EXPECT_FALSE(q.emphasis.on);
  EXPECT_EQ(q.emphasis.colour, 9);
  EXPECT_TRUE(q.kanS);
  EXPECT_TRUE(q.unitYear);
  EXPECT_EQ(q.bgBmp, 4);
  EXPECT_EQ(q.itBmp, 2);

  EXPECT_EQ(o.draw.useFont, L"IPAMincho");
  EXPECT_FALSE(o.draw.useFontBold);
  EXPECT_EQ(o.draw.decoFont, 3);

  const PictureSettings& p = o.pictures;
  EXPECT_EQ(p.frame.bgBmp, 4);
  EXPECT_EQ(p.frame.bwByFn, -1);
  EXPECT_EQ(p.frame.itBmp, 2);
  EXPECT_EQ(p.bgBmpStr, 2);
  EXPECT_EQ(p.bgBmpDorB, -1);
  EXPECT_EQ(p.bgBmpDir, L"C:\\背景");
  EXPECT_EQ(p.bgBmpBmp, L"C:\\背景\\a.bmp");
  EXPECT_EQ(p.itBmpStr, 3);
  EXPECT_EQ(p.itBmpDir, L"C:\\合間");
}

TEST(SaverOptionsOf, FlagsCountAndYearStyleAsTheSaverReadsThem) {
  RegistrationHeader header;
  Settings s;
  const SaverOptions defaults = SaverOptionsOf(header, s);
  EXPECT_TRUE(defaults.sequence.emphasis.on) << "a new file's emphasis is on";
  EXPECT_TRUE(defaults.draw.useFontBold);
  EXPECT_EQ(defaults.draw.useFont, kDefaultFace);
  EXPECT_FALSE(defaults.sequence.kanS);

  header.count = 600;
  header.options.emphasisOn = 1;  // any non-zero value is on
  s.kanS = 5;
  s.seireki = 2;  // only 1 is the style with unit characters
  s.useFontBold = 7;
  const SaverOptions o = SaverOptionsOf(header, s);
  EXPECT_EQ(o.sequence.count, 500);
  EXPECT_TRUE(o.sequence.emphasis.on);
  EXPECT_TRUE(o.sequence.kanS);
  EXPECT_FALSE(o.sequence.unitYear);
  EXPECT_TRUE(o.draw.useFontBold);
  header.count = -3;
  EXPECT_EQ(SaverOptionsOf(header, s).sequence.count, 0);
}

}  // namespace
}  // namespace zor

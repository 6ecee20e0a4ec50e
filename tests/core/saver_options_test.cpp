#include "core/screen/saver_options.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(SaverOptionsOf, TakesTheHeadersDisplayOptionsAndTheSettingsEachOnce) {
  RegistrationHeader header;
  header.count = 37;
  header.options = {4000, 2, 0, 1, 9, 2};  // interval, scheme, emphasis off, order, colour, layout
  Settings s;
  s.typeFace = L"IPAMincho";
  s.boldType = 0;
  s.decorationStyle = 3;
  s.formalKanji = -1;
  s.dateYearStyle = 1;
  s.schemeByFileName = -1;
  s.backgroundMode = 4;
  s.backgroundFolder = L"C:\\背景";
  s.backgroundSingleFile = L"C:\\背景\\a.bmp";
  s.backgroundStretch = 2;
  s.backgroundFromFile = -1;
  s.intervalMode = 2;
  s.intervalFolder = L"C:\\合間";
  s.intervalStretch = 3;
  const SaverOptions o = SaverOptionsOf(header, s);

  const SequencerOptions& q = o.sequence;
  EXPECT_EQ(q.count, 37);
  EXPECT_EQ(q.interval, 4000);
  EXPECT_EQ(q.scheme, 2);
  EXPECT_EQ(q.order, 1);
  EXPECT_EQ(q.layout, 2);
  EXPECT_FALSE(q.emphasis.on);
  EXPECT_EQ(q.emphasis.colour, 9);
  EXPECT_TRUE(q.formalKanji);
  EXPECT_TRUE(q.unitYear);
  EXPECT_EQ(q.backgroundMode, 4);
  EXPECT_EQ(q.intervalMode, 2);

  EXPECT_EQ(o.draw.typeFace, L"IPAMincho");
  EXPECT_FALSE(o.draw.boldType);
  EXPECT_EQ(o.draw.decorationStyle, 3);

  const PictureSettings& p = o.pictures;
  EXPECT_EQ(p.frame.backgroundMode, 4);
  EXPECT_EQ(p.frame.schemeByFileName, -1);
  EXPECT_EQ(p.frame.intervalMode, 2);
  EXPECT_EQ(p.backgroundStretch, 2);
  EXPECT_EQ(p.backgroundFromFile, -1);
  EXPECT_EQ(p.backgroundFolder, L"C:\\背景");
  EXPECT_EQ(p.backgroundSingleFile, L"C:\\背景\\a.bmp");
  EXPECT_EQ(p.intervalStretch, 3);
  EXPECT_EQ(p.intervalFolder, L"C:\\合間");
}

TEST(SaverOptionsOf, FlagsCountAndYearStyleAsTheSaverReadsThem) {
  RegistrationHeader header;
  Settings s;
  const SaverOptions defaults = SaverOptionsOf(header, s);
  EXPECT_TRUE(defaults.sequence.emphasis.on) << "a new file's emphasis is on";
  EXPECT_TRUE(defaults.draw.boldType);
  EXPECT_EQ(defaults.draw.typeFace, kDefaultFace);
  EXPECT_FALSE(defaults.sequence.formalKanji);

  header.count = 600;
  header.options.emphasisOn = 1;  // any non-zero value is on
  s.formalKanji = 5;
  s.dateYearStyle = 2;  // only 1 is the style with unit characters
  s.boldType = 7;
  const SaverOptions o = SaverOptionsOf(header, s);
  EXPECT_EQ(o.sequence.count, 500);
  EXPECT_TRUE(o.sequence.emphasis.on);
  EXPECT_TRUE(o.sequence.formalKanji);
  EXPECT_FALSE(o.sequence.unitYear);
  EXPECT_TRUE(o.draw.boldType);
  header.count = -3;
  EXPECT_EQ(SaverOptionsOf(header, s).sequence.count, 0);
}

}  // namespace
}  // namespace zor

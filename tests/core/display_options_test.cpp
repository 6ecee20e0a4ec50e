#include "core/settings_dialog/display_options.h"

#include <gtest/gtest.h>

#include <utility>

namespace zor {
namespace {

DisplayOptions Options(std::int16_t interval, std::int16_t scheme, std::int16_t emphasisOn, std::int16_t order,
                       std::int16_t colour, std::int16_t layout) {
  return {interval, scheme, emphasisOn, order, colour, layout};
}

// "OK" without touching anything stores what the dialog showed.
TEST(DisplayOptionsModel, OpeningNormalisesTheStoredValues) {
  struct Case {
    const char* what;
    DisplayOptions stored, shown;
  };
  const Case cases[] = {
      {"defaults", DisplayOptions{}, DisplayOptions{}},
      {"colour 0", Options(6000, 3, -1, 0, 0, 0), Options(6000, 3, -1, 0, 12, 0)},
      {"colour 15", Options(6000, 3, -1, 0, 15, 0), Options(6000, 3, -1, 0, 12, 0)},
      {"colour -7", Options(6000, 3, -1, 0, -7, 0), Options(6000, 3, -1, 0, 12, 0)},
      {"colours 1 and 14 kept", Options(6000, 3, -1, 0, 1, 0), Options(6000, 3, -1, 0, 1, 0)},
      {"", Options(6000, 3, -1, 0, 14, 0), Options(6000, 3, -1, 0, 14, 0)},
      {"layout -1", Options(6000, 3, -1, 0, 12, -1), Options(6000, 3, -1, 0, 12, 0)},
      {"layout 2 kept", Options(6000, 3, -1, 0, 12, 2), Options(6000, 3, -1, 0, 12, 2)},
      {"emphasis 1 is ticked", Options(6000, 3, 1, 0, 12, 0), Options(6000, 3, -1, 0, 12, 0)},
      {"emphasis off", Options(6000, 3, 0, 0, 12, 0), Options(6000, 3, 0, 0, 12, 0)},
      // Groups with no button for the value keep it.
      {"odd interval, scheme and order", Options(300, 9, -1, 5, 12, 0), Options(300, 9, -1, 5, 12, 0)},
  };
  for (const Case& c : cases) {
    const DisplayOptionsModel m(c.stored);
    EXPECT_EQ(m.Current(), c.shown) << c.what;
    EXPECT_EQ(m.Result(), c.shown) << c.what;
  }
}

TEST(DisplayOptionsModel, EverySixFieldIsSettable) {
  DisplayOptionsModel m(Options(6000, 3, -1, 0, 0, -1));
  m.SetInterval(11000);
  m.SetScheme(1);
  m.SetEmphasisOn(false);
  m.SetOrder(1);
  m.SetColour(4);
  m.SetLayout(2);
  EXPECT_EQ(m.Result(), Options(11000, 1, 0, 1, 4, 2));
  m.SetColour(15);
  EXPECT_EQ(m.Result().colour, 12);
}

TEST(DisplayOptionsModel, SampleAndSwatchesFollowTheEmphasisBox) {
  DisplayOptionsModel m(Options(6000, 3, -1, 0, 15, 0));
  EXPECT_TRUE(m.SwatchesVisible());
  EXPECT_EQ(m.SampleColour(), 12);
  m.SetColour(9);
  m.SetEmphasisOn(false);
  EXPECT_FALSE(m.SwatchesVisible());
  EXPECT_EQ(m.SampleColour(), 0);
  m.SetEmphasisOn(true);
  EXPECT_EQ(m.SampleColour(), 9) << "the chosen colour comes back";
}

// The scroll bar shows an odd stored interval at its nearer end, keeps it
// while untouched, and moves from where it shows it.
TEST(DisplayOptionsModel, IntervalScrollBar) {
  struct Case {
    std::int16_t stored;
    int steps;  // 0: not moved
    std::int16_t shown, result;
  };
  const Case cases[] = {
      {6000, 0, 6000, 6000},
      {6000, 1, 7000, 7000},
      {6000, -5, 1000, 1000},
      {6000, -6, 1000, 1000},
      {6000, 5, 11000, 11000},
      {10500, 1, 11000, 11000},
      {6500, -1, 5500, 5500},
      {300, 0, 1000, 300},
      {300, 1, 2000, 2000},
      {-5, -1, 1000, 1000},
      {32767, 0, 11000, 32767},
      {32767, -1, 10000, 10000},
      {6000, 2147483647, 11000, 11000},
      {6000, -2147483647 - 1, 1000, 1000},
  };
  for (const Case& c : cases) {
    DisplayOptionsModel m(Options(c.stored, 3, -1, 0, 12, 0));
    if (c.steps != 0) m.ScrollIntervalBy(c.steps);
    EXPECT_EQ(m.Result().interval, c.result) << c.stored << " by " << c.steps;
    EXPECT_EQ(m.IntervalPosition(), c.shown) << c.stored << " by " << c.steps;
  }
  DisplayOptionsModel m{DisplayOptions{}};
  for (const auto& [to, result] :
       {std::pair{4321, 4321}, {999, 1000}, {11001, 11000}, {-70000, 1000}, {70000, 11000}}) {
    m.ScrollIntervalTo(to);
    EXPECT_EQ(m.Result().interval, result) << to;
  }
}

TEST(DisplayOptionsModel, PicturesSelectTheirOption) {
  const std::int16_t schemes[] = {0, 2, 1, 2, 3, 3, 3};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(DisplayOptionsModel::SchemeOfPicture(i), schemes[i]) << i;
  const std::int16_t layouts[] = {0, 1, 2, 2};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(DisplayOptionsModel::LayoutOfPicture(i), layouts[i]) << i;
  DisplayOptionsModel m{DisplayOptions{}};
  m.ClickSchemePicture(5);
  m.ClickLayoutPicture(1);
  EXPECT_EQ(m.Result().scheme, 3);
  EXPECT_EQ(m.Result().layout, 1);
}

}  // namespace
}  // namespace zor

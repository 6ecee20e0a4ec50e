#include "core/settings_dialog/line_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/text/measures.h"

namespace zor {
namespace {

// Stored format bytes: marks "A" at the given cells, then fold, mode, kind, layout.
MessageFormat Stored(std::vector<int> marked, char fold, char mode, char kind, char layout) {
  MessageFormat f;
  for (int i : marked) f.marks[static_cast<std::size_t>(i)] = 'A';
  f.fold = fold;
  f.mode = mode;
  f.kind = kind;
  f.layout = layout;
  return f;
}

const MessageFormat kFresh;  // as a new message reads back: all blanks
constexpr std::wstring_view kFive = L"あいうえお";

// The cell holding the marker and its kind, or -1.
std::pair<int, char> Marker(const LineFormatModel& m) {
  const LineFormatView v = m.View();
  for (int i = 0; i < kFormatCells; ++i) {
    const FormatCell& c = v.cells[static_cast<std::size_t>(i)];
    if (c.hasMarker) {
      EXPECT_EQ(c.picture, MarkerPictureOf(c.markerKind));
      return {i, c.markerKind};
    }
  }
  return {-1, '\0'};
}

std::vector<int> RedCells(const LineFormatModel& m) {
  std::vector<int> red;
  const LineFormatView v = m.View();
  for (int i = 0; i < kFormatCells; ++i) {
    if (v.cells[static_cast<std::size_t>(i)].red) red.push_back(i);
  }
  return red;
}

TEST(LineFormat, CellsOnlyForTheCharactersOfAFullWidthText) {
  struct Case {
    std::wstring text;
    int cells;
    bool checksEnabled;
  };
  const Case cases[] = {
      {L"あいうえお", 5, true},
      {L"  あいうえお ", 5, true},  // trimmed
      {L"あいうaえお", 0, false},
      {L"", 0, true},
      {std::wstring(40, L'字'), 32, true},  // more than a record can hold: the first 32
  };
  for (const Case& c : cases) {
    const LineFormatModel m(c.text, kFresh, true);
    const LineFormatView v = m.View();
    EXPECT_EQ(m.CellCount(), c.cells);
    for (int i = 0; i < kFormatCells; ++i) {
      const FormatCell& cell = v.cells[static_cast<std::size_t>(i)];
      EXPECT_EQ(cell.shown, i < c.cells) << i;
      if (cell.shown) {
        EXPECT_EQ(cell.character, std::wstring(1, Trim(c.text)[static_cast<std::size_t>(i)]));
      }
    }
    EXPECT_EQ(v.randomEnabled, c.checksEnabled);
    EXPECT_EQ(v.autoFoldEnabled, c.checksEnabled);
  }
}

TEST(LineFormat, OpeningReadsTheStoredBytes) {
  struct Case {
    const char* what;
    MessageFormat stored;
    bool emphasisOn;
    bool random, autoFold;
    std::pair<int, char> marker;
    std::vector<int> red;
    int layout;
  };
  const Case cases[] = {
      {"fresh", kFresh, true, true, true, {-1, '\0'}, {}, 0},
      {"mode R: unchecked, marks red", Stored({0, 3}, '#', 'R', 'C', 'B'), true, false, false, {2, 'C'}, {0, 3}, 2},
      {"random: marks kept but black", Stored({0, 3}, ' ', ' ', ' ', 'C'), true, true, true, {-1, '\0'}, {}, 3},
      {"emphasis off: no red", Stored({0, 3}, '!', 'R', 'A', 'A'), false, false, false, {0, 'A'}, {}, 1},
      {"fold 0x00 is automatic", Stored({}, '\0', 'R', 'B', 'x'), true, false, true, {-1, '\0'}, {}, 0},
      {"other mode byte", Stored({1}, '%', 'x', 'D', ' '), true, false, false, {4, 'D'}, {1}, 0},
      {"odd kind kept as the tag", Stored({}, '"', 'R', 'Q', ' '), true, false, false, {1, 'Q'}, {}, 0},
      {"fold beyond the text", Stored({}, '@', 'R', 'A', ' '), true, false, false, {31, 'A'}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LineFormatModel m(kFive, c.stored, c.emphasisOn);
    const LineFormatView v = m.View();
    EXPECT_EQ(v.randomChecked, c.random);
    EXPECT_EQ(v.randomEnabled, c.emphasisOn);
    EXPECT_EQ(v.autoFoldChecked, c.autoFold);
    EXPECT_EQ(Marker(m), c.marker);
    EXPECT_EQ(RedCells(m), c.red);
    EXPECT_EQ(v.layout, c.layout);
  }
}

TEST(LineFormat, MarkerClicksStepTheKind) {
  // A kind-less marker (0x00) and then the blank kind: A, C, B, D, blank, A.
  LineFormatModel m(kFive, Stored({}, '#', 'R', '\0', ' '), true);
  ASSERT_EQ(Marker(m), std::make_pair(2, '\0'));
  EXPECT_EQ(m.View().cells[2].picture, kTrianglePicture);
  const std::pair<char, int> steps[] = {{'A', 2}, {'C', 4}, {'B', 3}, {'D', 5}, {' ', kTrianglePicture}, {'A', 2}};
  for (const auto& [kind, picture] : steps) {
    m.ClickMarker(2);
    EXPECT_EQ(Marker(m), std::make_pair(2, kind));
    EXPECT_EQ(m.View().cells[2].picture, picture);
  }
  // Another cell: the marker moves with its kind; one marker at most.
  m.ClickMarker(2);  // C
  m.ClickMarker(4);
  EXPECT_EQ(Marker(m), std::make_pair(4, 'C'));
  int markers = 0;
  for (const FormatCell& c : m.View().cells) markers += c.hasMarker;
  EXPECT_EQ(markers, 1);
  // Cells beyond the text ignore clicks.
  m.ClickMarker(5);
  m.ClickMarker(31);
  m.ClickMarker(-1);
  EXPECT_EQ(Marker(m), std::make_pair(4, 'C'));
  EXPECT_EQ(m.Bytes().fold, '%');
  EXPECT_EQ(m.Bytes().kind, 'C');
}

TEST(LineFormat, AFreshMessageGetsItsMarkerFromTheAutomaticFold) {
  LineFormatModel m(kFive, kFresh, true);
  m.ClickMarker(1);  // ignored while the fold is automatic
  EXPECT_EQ(Marker(m).first, -1);
  m.SetAutoFold(false);  // the first time: a kind-less marker under character 1
  EXPECT_EQ(Marker(m), std::make_pair(0, ' '));
  std::string kinds;
  for (int i = 0; i < 7; ++i) {
    m.ClickMarker(3);
    kinds += Marker(m).second;
  }
  EXPECT_EQ(kinds, " ACBD A");  // moved, then stepped
}

TEST(LineFormat, AutomaticFoldPutsTheMarkerAsideAndBringsItBack) {
  LineFormatModel m(kFive, Stored({}, '$', 'R', 'B', ' '), true);
  m.SetAutoFold(true);
  EXPECT_EQ(Marker(m).first, -1);
  EXPECT_EQ(m.Bytes().fold, ' ');
  EXPECT_EQ(m.Bytes().kind, '\0');
  m.SetAutoFold(true);  // no change: nothing saved over
  m.SetAutoFold(false);
  EXPECT_EQ(Marker(m), std::make_pair(3, 'B'));
  EXPECT_EQ(m.Bytes().fold, '$');
  EXPECT_EQ(m.Bytes().kind, 'B');
}

TEST(LineFormat, MarksFollowTheEmphasisSettings) {
  // Emphasis on, mode R: clicks toggle marks and colour.
  LineFormatModel m(kFive, Stored({0}, ' ', 'R', ' ', ' '), true);
  m.ClickCharacter(2);
  m.ClickCharacter(0);
  m.ClickCharacter(9);  // beyond the text
  EXPECT_EQ(RedCells(m), std::vector<int>{2});
  // Random emphasis: marks stay, shown black, and clicks do nothing.
  m.SetRandomEmphasis(true);
  EXPECT_TRUE(RedCells(m).empty());
  m.ClickCharacter(4);
  m.SetRandomEmphasis(false);
  EXPECT_EQ(RedCells(m), std::vector<int>{2});
  MessageFormat expected = Stored({2}, ' ', 'R', '\0', ' ');
  EXPECT_EQ(m.Bytes(), expected);

  // Emphasis off: check box disabled, no red, marks unchangeable.
  LineFormatModel off(kFive, Stored({1}, ' ', 'R', ' ', ' '), false);
  off.ClickCharacter(1);
  off.ClickCharacter(3);
  off.SetRandomEmphasis(true);
  EXPECT_FALSE(off.View().randomEnabled);
  EXPECT_FALSE(off.View().randomChecked);
  EXPECT_TRUE(RedCells(off).empty());
  EXPECT_EQ(off.Bytes().marks, Stored({1}, ' ', 'R', ' ', ' ').marks);
  EXPECT_FALSE(off.SetMarks(std::vector<int>{0}));
}

TEST(LineFormat, HalfWidthMessageKeepsItsMarksAndTakesOnlyALayout) {
  for (char mode : {' ', 'R'}) {
    LineFormatModel m(L"abcあ", Stored({0, 2, 7}, '"', mode, 'A', 'C'), true);
    EXPECT_EQ(m.CellCount(), 0);
    EXPECT_FALSE(m.View().randomEnabled);
    EXPECT_FALSE(m.View().autoFoldEnabled);
    EXPECT_TRUE(m.View().autoFoldChecked);
    m.ClickCharacter(0);
    m.ClickMarker(0);
    m.SetAutoFold(false);
    m.SetRandomEmphasis(mode == 'R');
    EXPECT_FALSE(m.PlaceFold(0));
    EXPECT_FALSE(m.SetMarks(std::vector<int>{}));
    m.ClickLayoutPicture(0);
    EXPECT_EQ(m.Bytes(), Stored({0, 2, 7}, ' ', mode, '\0', 'A'));
  }
}

// The dialog's clicks and the tool's setters give the same bytes for the same choice.
TEST(LineFormat, SettersReachWhatClicksReach) {
  struct Case {
    const char* what;
    MessageFormat stored;
    std::function<void(LineFormatModel&)> clicks;
    std::function<bool(LineFormatModel&)> setters;
  };
  const Case cases[] = {
      {"marks, marked emphasis, fold C, layout B", kFresh,
       [](LineFormatModel& m) {
         m.SetRandomEmphasis(false);
         m.ClickCharacter(0);
         m.ClickCharacter(2);
         m.SetAutoFold(false);
         m.ClickMarker(3);
         m.ClickMarker(3);
         m.ClickMarker(3);
         m.SelectLayout(2);
       },
       [](LineFormatModel& m) {
         m.SetRandomEmphasis(false);
         const int marks[] = {0, 2};
         return m.SetMarks(marks) && m.PlaceFold(3, 'C') && (m.SelectLayout(2), true);
       }},
      {"fold moved keeps its kind", Stored({}, '"', 'R', 'D', ' '), [](LineFormatModel& m) { m.ClickMarker(4); },
       [](LineFormatModel& m) { return m.PlaceFold(4); }},
      {"fold placed on its own cell changes nothing", Stored({}, '"', 'R', 'D', ' '), [](LineFormatModel&) {},
       [](LineFormatModel& m) { return m.PlaceFold(1); }},
      {"fold from automatic: the kind unchecking brings back", kFresh,
       [](LineFormatModel& m) {
         m.SetAutoFold(false);
         m.ClickMarker(2);
       },
       [](LineFormatModel& m) { return m.PlaceFold(2); }},
      {"kind none is the blank after D", Stored({}, '!', 'R', 'D', ' '), [](LineFormatModel& m) { m.ClickMarker(0); },
       [](LineFormatModel& m) { return m.SetFoldKind(' '); }},
      {"automatic fold and no marks", Stored({1, 2}, '!', 'R', 'A', 'A'),
       [](LineFormatModel& m) {
         m.ClickCharacter(1);
         m.ClickCharacter(2);
         m.SetAutoFold(true);
       },
       [](LineFormatModel& m) {
         m.SetAutoFold(true);
         return m.SetMarks(std::vector<int>{});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LineFormatModel clicked(kFive, c.stored, true);
    LineFormatModel set(kFive, c.stored, true);
    c.clicks(clicked);
    ASSERT_TRUE(c.setters(set));
    EXPECT_EQ(set.Bytes(), clicked.Bytes());
  }
  // Setters refuse what the dialog cannot do.
  LineFormatModel m(kFive, kFresh, true);
  const int beyond[] = {5};
  EXPECT_FALSE(m.SetMarks(beyond));
  EXPECT_FALSE(m.PlaceFold(5));
  EXPECT_FALSE(m.SetFoldKind('A')) << "no fold in place";
  EXPECT_EQ(m.Bytes(), LineFormatModel(kFive, kFresh, true).Bytes());
}

TEST(LineFormat, BytesOfOk) {
  // A fresh message untouched: random emphasis, automatic fold, no layout.
  EXPECT_EQ(LineFormatModel(kFive, kFresh, true).Bytes(), Stored({}, ' ', ' ', '\0', ' '));
  // The fold byte is 33 + the cell; marks written for every cell, also beyond the text.
  LineFormatModel m(kFive, Stored({4, 20, 31}, '@', 'R', 'A', ' '), true);
  m.ClickMarker(4);
  EXPECT_EQ(m.Bytes(), Stored({4, 20, 31}, '%', 'R', 'A', ' '));
  // Layout options 0..3 and the pictures beside options 1..3; other options are ignored.
  const std::pair<int, char> layouts[] = {{0, ' '}, {1, 'A'}, {2, 'B'}, {3, 'C'}, {4, 'C'}, {-1, 'C'}};
  for (const auto& [option, byte] : layouts) {
    if (option >= 1)
      m.ClickLayoutPicture(option - 1);
    else
      m.SelectLayout(option);
    EXPECT_EQ(m.Bytes().layout, byte) << option;
  }
}

}  // namespace
}  // namespace zor

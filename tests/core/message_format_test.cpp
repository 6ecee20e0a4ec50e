#include "core/data/message_format.h"

#include <gtest/gtest.h>

#include <string>

namespace zor {
namespace {

std::string Record(char fold, char mode, char kind, char layout) {
  std::string r(224, ' ');
  r[192] = fold;
  r[193] = mode;
  r[194] = kind;
  r[195] = layout;
  return r;
}

TEST(MessageFormat, DecodesTheFourCodes) {
  struct Case {
    char fold, mode, kind, layout;
    int foldAt;
    EmphasisMode emphasis;
    FoldKind foldKind;
    FixedLayout fixed;
  };
  const Case cases[] = {
      {' ', ' ', ' ', ' ', 0, EmphasisMode::kRandom, FoldKind::kNone, FixedLayout::kNone},  // the defaults
      {'\0', 'R', '\0', 'A', 0, EmphasisMode::kMarked, FoldKind::kNone, FixedLayout::kA},   // 0x00 fold: automatic
      {'!', 'x', 'A', 'B', 1, EmphasisMode::kNone, FoldKind::kA, FixedLayout::kB},           // "!" is character 1
      {'@', ' ', 'D', 'C', 32, EmphasisMode::kRandom, FoldKind::kD, FixedLayout::kC},        // "@" is character 32
      {'A', ' ', 'C', 'a', 0, EmphasisMode::kRandom, FoldKind::kC, FixedLayout::kNone},      // 65: automatic
      {'\xFF', 'r', 'b', 'D', 0, EmphasisMode::kNone, FoldKind::kNone, FixedLayout::kNone},
  };
  for (const Case& c : cases) {
    const MessageFormat f = MessageFormat::FromRecord(Record(c.fold, c.mode, c.kind, c.layout));
    EXPECT_EQ(f.FoldPosition(), c.foldAt) << int(c.fold);
    EXPECT_EQ(f.Emphasis(), c.emphasis) << c.mode;
    EXPECT_EQ(f.Kind(), c.foldKind) << c.kind;
    EXPECT_EQ(f.Layout(), c.fixed) << c.layout;
  }
}

TEST(MessageFormat, WritesTheBytesTheDialogWrites) {
  MessageFormat f;
  f.SetMarked(1, true);
  f.SetMarked(32, true);
  f.SetMarked(33, true);  // beyond the marks: ignored
  f.SetEmphasis(EmphasisMode::kMarked);
  f.SetFold(3, FoldKind::kC);
  f.SetLayout(FixedLayout::kB);
  std::string r(224, '.');
  f.WriteTo(r.data());
  EXPECT_EQ(r.substr(64, 32), "A" + std::string(30, ' ') + "A");
  EXPECT_EQ(r.substr(192, 4), std::string("#RCB"));  // fold 32 + 3, mode, kind, layout
  EXPECT_EQ(r.substr(0, 64), std::string(64, '.')) << "the text is not touched";
  EXPECT_EQ(r.substr(96, 32), std::string(32, '.'));

  f.SetAutoFold();
  f.SetFold(0, FoldKind::kA);  // no such character: automatic
  f.WriteTo(r.data());
  EXPECT_EQ(r.substr(192, 4), std::string(" R\0B", 4)) << "automatic: a blank fold and a 0x00 kind";
  f.SetFold(5, FoldKind::kNone);
  f.WriteTo(r.data());
  EXPECT_EQ(r.substr(192, 3), std::string("%R\0", 3)) << "a marker without kind";
  EXPECT_EQ(MessageFormat::FromRecord(r), f);
}

}  // namespace
}  // namespace zor

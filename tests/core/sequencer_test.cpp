#include "core/screen/sequencer.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace zor {
namespace {

class FakeMessages final : public MessageSource {
 public:
  std::map<int, std::pair<std::wstring, CurrentFormat>> records;
  std::vector<int> reads;
  std::optional<std::pair<std::wstring, CurrentFormat>> Read(int v) override {
    reads.push_back(v);
    const auto it = records.find(v);
    if (it == records.end()) return std::nullopt;
    return it->second;
  }
};

struct Page {
  char layout;
  std::wstring text;
  bool invert;
  bool test;
};

class FakeRenderer final : public CardRenderer {
 public:
  std::vector<Page> pages;
  PageResult Render(char layout, const CardRequest& request, bool& invert) override {
    pages.push_back({layout, request.text, invert, request.testDisplay});
    return PageResult::kDrawn;
  }
};

// Draws from a script; 0 once the script is used up.
class ScriptedRandom final : public RandomSource {
 public:
  std::deque<int> script;
  int Rand(int n) override {
    if (script.empty()) return 0;
    const int v = script.front();
    script.pop_front();
    return n > 0 ? v % n : 0;
  }
};

class SequencerTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int v = 1; v <= 3; ++v) messages.records[v] = {L"文" + std::to_wstring(v), CurrentFormat{}};
    options.count = 3;
    options.interval = 6000;
  }
  TickOutcome Tick(const TestDisplayRequest* test = nullptr) { return sequencer.Tick(options, 768, 576, test); }

  FakeMessages messages;
  FakeRenderer renderer;
  NoIntervalImages interval;
  ScriptedRandom random;
  FrameState frame;
  SequencerOptions options;
  Sequencer sequencer{messages, renderer, interval, random, frame};
};

TEST_F(SequencerTest, RegistrationOrderCyclesFromTheFirstMessage) {
  options.order = 1;
  for (int i = 0; i < 7; ++i) (void)Tick();
  EXPECT_EQ(messages.reads, (std::vector<int>{1, 2, 3, 1, 2, 3, 1}));
}

TEST_F(SequencerTest, RandomOrderNeverRepeatsAMessageAtOnce) {
  options.order = 0;
  // Draws for v (message), then scheme 0 and layout use no draws except the A/B pick.
  random.script = {1, 0, 1, 0, 2, 0, 2, 0};  // v = 2, 2 (→3), 3 (→1 past the end)
  (void)Tick();
  (void)Tick();
  (void)Tick();
  EXPECT_EQ(messages.reads, (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(sequencer.LastRandomIndex(), 1);
}

TEST_F(SequencerTest, OneMessageAlwaysOneAndTwoMessagesAlternate) {
  options.count = 1;
  for (int i = 0; i < 3; ++i) (void)Tick();
  EXPECT_EQ(messages.reads, (std::vector<int>{1, 1, 1}));
  messages.reads.clear();
  options.count = 2;
  SeededRandom seeded(7);
  Sequencer alternating{messages, renderer, interval, seeded, frame};
  for (int i = 0; i < 20; ++i) (void)alternating.Tick(options, 768, 576);
  for (std::size_t i = 1; i < messages.reads.size(); ++i) EXPECT_NE(messages.reads[i], messages.reads[i - 1]);
}

// The next tick tried ahead on copies (the saver's rehearsal) shows the page
// the real next tick shows, and leaves the real sequencer where it was: in
// random and registration order, with either layout and either ground.
TEST_F(SequencerTest, ATickTriedAheadOnCopiesForetellsTheNextAndChangesNothing) {
  for (int v = 4; v <= 9; ++v) messages.records[v] = {L"文" + std::to_wstring(v), CurrentFormat{}};
  options.count = 9;
  options.layout = 2;
  options.scheme = 2;
  for (const std::int16_t order : {std::int16_t{0}, std::int16_t{1}}) {
    options.order = order;
    SeededRandom seeded(5);
    FrameState realFrame;
    FakeRenderer shown;
    Sequencer real{messages, shown, interval, seeded, realFrame};
    for (int i = 0; i < 12; ++i) {
      SeededRandom ahead = seeded;
      FrameState aheadFrame = realFrame;
      FakeRenderer rehearsed;
      NoIntervalImages noInterval;
      Sequencer tried(real, messages, rehearsed, noInterval, ahead, aheadFrame);
      (void)tried.Tick(options, 768, 576);
      (void)real.Tick(options, 768, 576);
      ASSERT_EQ(rehearsed.pages.size(), 1u);
      const Page& next = shown.pages.back();
      EXPECT_EQ(rehearsed.pages[0].text, next.text) << "tick " << i;
      EXPECT_EQ(rehearsed.pages[0].layout, next.layout);
      EXPECT_EQ(rehearsed.pages[0].invert, next.invert);
      EXPECT_EQ(tried.DisplayTick(), real.DisplayTick());
      EXPECT_EQ(tried.SequentialIndex(), real.SequentialIndex());
      EXPECT_EQ(tried.LastRandomIndex(), real.LastRandomIndex());
    }
    EXPECT_EQ(shown.pages.size(), 12u);
  }
}

TEST_F(SequencerTest, SchemesChooseTheGround) {
  SeededRandom seeded(11);
  Sequencer s{messages, renderer, interval, seeded, frame};
  options.scheme = 3;
  for (int i = 0; i < 3000; ++i) (void)s.Tick(options, 768, 576);
  int white = 0;
  for (const Page& p : renderer.pages) white += p.invert ? 1 : 0;
  EXPECT_NEAR(white / 3000.0, 1.0 / 3.0, 0.04);
  renderer.pages.clear();
  options.scheme = 1;
  (void)Tick();
  options.scheme = 0;
  (void)Tick();
  options.scheme = 7;
  (void)Tick();
  EXPECT_TRUE(renderer.pages[0].invert);
  EXPECT_FALSE(renderer.pages[1].invert);
  EXPECT_FALSE(renderer.pages[2].invert) << "an unknown scheme is a black ground";
}

TEST_F(SequencerTest, KeywordsOnlyAsAWholeMessage) {
  EXPECT_EQ(ExpandKeywords(L"\\DATE", false, true, L"1997/12/25"), L"西暦千九百九十七年十二月二十五日");
  EXPECT_EQ(ExpandKeywords(L"\\Time", true, false, {}, L"15:30:00"), L"午後参時参拾分");
  EXPECT_EQ(ExpandKeywords(L"今日は\\date", false, false), L"今日は\\date");
  messages.records[1].first = L"\\date";
  options.order = 1;
  (void)Tick();
  EXPECT_EQ(renderer.pages[0].text.substr(0, 2), L"西暦");
}

TEST_F(SequencerTest, FixedLayoutWinsAndCentreOptionCentres) {
  options.order = 1;
  messages.records[1].second.fixedLayout = 'B';
  options.layout = 1;
  (void)Tick();
  (void)Tick();
  EXPECT_EQ(renderer.pages[0].layout, 'B');
  EXPECT_EQ(renderer.pages[1].layout, 'C');
  options.layout = 0;
  random.script = {0, 1};
  (void)Tick();  // message 3: no fixed layout, L-shaped: A or B by a draw
  (void)Tick();
  EXPECT_EQ(renderer.pages[2].layout, 'A');
  EXPECT_EQ(renderer.pages[3].layout, 'B');
}

// Layout option 2: the integer part of 2 × random, minus 1, is the flag, so a
// draw of 0 centres. A second generator with the same seed replays the draws.
TEST_F(SequencerTest, RandomLayoutOptionCentresOnADrawOfZero) {
  options.order = 1;  // no draw for the message
  options.layout = 2;
  random.script = {0, 1, 1};  // centred; then L-shaped, "B"
  (void)Tick();
  EXPECT_TRUE(sequencer.UseCentreLayout());
  (void)Tick();
  EXPECT_FALSE(sequencer.UseCentreLayout());
  EXPECT_EQ(renderer.pages[0].layout, 'C');
  EXPECT_EQ(renderer.pages[1].layout, 'B');

  SeededRandom seeded(2024);
  SeededRandom replay(2024);
  Sequencer s{messages, renderer, interval, seeded, frame};
  renderer.pages.clear();
  int centred = 0;
  for (int i = 0; i < 400; ++i) {
    (void)s.Tick(options, 768, 576);
    const bool centre = replay.Rand(2) == 0;
    ASSERT_EQ(s.UseCentreLayout(), centre) << "tick " << i;
    if (centre) {
      ++centred;
      EXPECT_EQ(renderer.pages.back().layout, 'C');
    } else {
      EXPECT_EQ(renderer.pages.back().layout, replay.Rand(2) == 0 ? 'A' : 'B');
    }
  }
  EXPECT_NEAR(centred / 400.0, 0.5, 0.1);
}

TEST_F(SequencerTest, CreditOnEveryThirdTickAndCountersWrap) {
  options.order = 1;
  std::vector<bool> credit;
  for (int i = 0; i < 6; ++i) credit.push_back(Tick().creditVisible);
  EXPECT_EQ(credit, (std::vector<bool>{false, false, true, false, false, true}));
  EXPECT_EQ(frame.displayTick, sequencer.DisplayTick());
}

// The outcome names the text the page was asked to show, as the shown-pages log writes it.
TEST_F(SequencerTest, OutcomeCarriesThePagesText) {
  options.order = 1;
  messages.records[2].first = L"\\time";
  for (int i = 0; i < 3; ++i) {
    const TickOutcome outcome = Tick();
    EXPECT_EQ(outcome.text, renderer.pages.back().text);
  }
  EXPECT_EQ(renderer.pages[0].text, L"文1");
  EXPECT_EQ(renderer.pages[1].text.substr(0, 1), L"午");
}

TEST_F(SequencerTest, SizeGuardSkipsEverything) {
  const TickOutcome outcome = sequencer.Tick(options, 10, 500);
  EXPECT_TRUE(outcome.skipped);
  EXPECT_TRUE(renderer.pages.empty());
  EXPECT_EQ(sequencer.SequentialIndex(), 0);
  EXPECT_EQ(sequencer.DisplayTick(), 0);
}

TEST_F(SequencerTest, NoMessagesAndMissingRecords) {
  options.count = 0;
  (void)Tick();
  EXPECT_EQ(renderer.pages[0].text, std::wstring(kNoMessagesText));
  EXPECT_TRUE(messages.reads.empty());
  EXPECT_EQ(sequencer.SequentialIndex(), 0);
  options.count = 5;  // records 4 and 5 are not in the file
  options.order = 1;
  for (int i = 0; i < 5; ++i) (void)Tick();
  EXPECT_EQ(renderer.pages.back().text, L"");
}

// The file shrank under the saver: registration order does not ask for the
// rows past the new end (they were drawn as blank pages) but starts again.
TEST_F(SequencerTest, RegistrationOrderStartsAgainWhenTheCountShrinks) {
  for (int v = 1; v <= 6; ++v) messages.records[v] = {L"文" + std::to_wstring(v), CurrentFormat{}};
  options.count = 6;
  options.order = 1;
  for (int i = 0; i < 4; ++i) (void)Tick();  // 1..4 shown, 5 next
  for (int v = 3; v <= 6; ++v) messages.records.erase(v);
  options.count = 2;
  sequencer.MessagesReread();
  for (int i = 0; i < 3; ++i) (void)Tick();
  EXPECT_EQ(messages.reads, (std::vector<int>{1, 2, 3, 4, 1, 2, 1}));
  for (const Page& page : renderer.pages) EXPECT_FALSE(page.text.empty()) << "no blank page";
  // And grows again: the new rows are reached.
  for (int v = 3; v <= 4; ++v) messages.records[v] = {L"新" + std::to_wstring(v), CurrentFormat{}};
  options.count = 4;
  sequencer.MessagesReread();
  for (int i = 0; i < 3; ++i) (void)Tick();
  EXPECT_EQ(renderer.pages.back().text, L"新4");
}

// Rows moved under the saver: the message just shown now stands where the
// sequence goes next; after a re-read the one after it is shown instead,
// in either order. Without a re-read the same text twice (two equal rows)
// is shown as the file holds it.
TEST_F(SequencerTest, AReReadNeverShowsTheMessageJustShownAgain) {
  options.order = 1;
  (void)Tick();  // 文1, row 2 next
  messages.records[1].first = L"文2";
  messages.records[2].first = L"文1";  // 文1 moved down a row
  sequencer.MessagesReread();
  (void)Tick();
  EXPECT_EQ(renderer.pages[1].text, L"文3");
  (void)Tick();
  EXPECT_EQ(renderer.pages[2].text, L"文2") << "the sequence goes on after the row skipped";

  options.order = 0;
  random.script = {0, 0, 1, 0};  // row 1 (文2, as last shown), then row 2
  (void)Tick();
  EXPECT_EQ(renderer.pages[3].text, L"文2");
  messages.records[2].first = L"文2";
  messages.records[1].first = L"文1";  // 文2 moved down a row
  sequencer.MessagesReread();
  (void)Tick();
  EXPECT_EQ(renderer.pages[4].text, L"文3");
  EXPECT_EQ(sequencer.LastRandomIndex(), 3) << "the row shown is the one the next draw avoids";

  messages.records[3].first = L"文3";
  random.script = {2, 0};  // row 3 again is avoided by index; row 1 comes
  (void)Tick();
  EXPECT_EQ(renderer.pages[5].text, L"文1");
}

TEST_F(SequencerTest, TestDisplayDrawsTheChosenThumbnail) {
  TestDisplayRequest test;
  test.text = L"\\time";
  test.layout = 3;
  TickOutcome outcome = Tick(&test);
  ASSERT_EQ(renderer.pages.size(), 1u);
  EXPECT_EQ(renderer.pages[0].layout, 'B');
  EXPECT_TRUE(renderer.pages[0].invert);
  EXPECT_TRUE(renderer.pages[0].test);
  EXPECT_EQ(renderer.pages[0].text.substr(0, 1), L"午");
  EXPECT_TRUE(outcome.creditVisible);
  test.hideCredit = true;
  outcome = Tick(&test);
  EXPECT_FALSE(outcome.creditVisible);
  EXPECT_TRUE(messages.reads.empty());
  EXPECT_EQ(TestThumbnail(4), std::make_pair('C', false));
  EXPECT_EQ(TestThumbnail(2), std::make_pair('A', true));
}

}  // namespace
}  // namespace zor

namespace zor {
namespace {

TEST(FormatOfRecord, StoredBytesAsTheRenderersTakeThem) {
  MessageFormat stored;
  stored.SetMarked(2, true);
  stored.SetEmphasis(EmphasisMode::kMarked);
  stored.SetFold(3, FoldKind::kA);
  stored.SetLayout(FixedLayout::kB);
  const CurrentFormat f = FormatOfRecord(stored);
  EXPECT_EQ(f.emphasisMarks.size(), 32u);
  EXPECT_EQ(f.emphasisMarks[1], 'A');
  EXPECT_EQ(f.emphasisMode, 'R');
  EXPECT_EQ(f.foldPosition, 3);
  EXPECT_EQ(f.foldKind, 'A');
  EXPECT_EQ(f.fixedLayout, 'B');
  EXPECT_EQ(FormatOfRecord(MessageFormat{}).foldPosition, 0) << "a blank fold byte is automatic";
}

}  // namespace
}  // namespace zor

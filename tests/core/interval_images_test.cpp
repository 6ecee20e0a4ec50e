#include "core/screen/interval_images.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/screen/recording_surface.h"

namespace zor {
namespace {

class OneFolder final : public PictureFolders {
 public:
  std::wstring path = L"C:\\";
  std::vector<std::wstring> names;
  [[nodiscard]] bool FolderExists(const std::wstring& p) override { return p == path; }
  [[nodiscard]] bool FileExists(const std::wstring&) override { return false; }
  [[nodiscard]] const std::vector<std::wstring>& Files(const std::wstring&) override { return names; }
};

// Notes the timer on the surface's event list; closes after a number of waits.
class NotingHost final : public IntervalHost {
 public:
  explicit NotingHost(RecordingSurface& surface) : surface_(surface) {}
  std::int32_t interval = 5000;
  int closeAfterChecks = -1;
  [[nodiscard]] std::int32_t TimerInterval() override { return interval; }
  void StopTimer() override { surface_.Note("timer off"); }
  void RestartTimer() override { surface_.Note("timer on"); }
  [[nodiscard]] bool Closed() override { return closeAfterChecks >= 0 && checks_++ >= closeAfterChecks; }

 private:
  RecordingSurface& surface_;
  int checks_ = 0;
};

// A surface whose loads can be told to fail by file name.
struct Bench {
  Bench() {
    surface.pictureSize = {512, 384};
    settings.intervalFolder = L"C:\\";
  }
  RecordingSurface surface{1024, 768};
  ManualClock clock;
  ScriptedRandom random;
  OneFolder folder;
  PictureSettings settings;
  FrameState state;
  NotingHost host{surface};
  bool preview = false;
  void Run() {
    IntervalPictureRun run(surface, clock, random, folder, settings, state, host, preview);
    run.ShowIntervalImages();
  }
};

TEST(IntervalImages, NormalRunShowsOneOrTwoPicturesForTheMessageInterval) {
  for (const auto& [g, pictures] : std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {2, 2}}) {
    Bench b;
    b.settings.frame.intervalMode = 1;
    b.folder.names = {L"a.jpg", L"b.jpg", L"c.jpg"};
    b.random = ScriptedRandom({1, g, 0, 0});
    b.Run();
    EXPECT_TRUE(b.state.intervalJustShown);
    EXPECT_EQ(b.surface.Count("load"), pictures) << g;
    EXPECT_EQ(b.clock.waits, std::vector<std::int32_t>(static_cast<std::size_t>(pictures), 5000)) << g;
    EXPECT_EQ(b.surface.events.front(), "timer off");
    EXPECT_EQ(b.surface.events.back(), "timer on");
  }
}

TEST(IntervalImages, ShuffleRunsHaveAtLeastThreePictures) {
  struct Case {
    std::vector<int> draws;  // u, h - 1, then per picture
    int pictures;
    std::vector<std::int32_t> waits;
  };
  const Case cases[] = {
      {{1, 0, 0, /*pictures*/ 0, 0, 1, 1, 2, 0}, 3, {1000, 300, 1000}},  // h 1 -> 2, N = 0 + 3
      {{1, 1, 3, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}, 6, {300, 300, 300, 300, 300, 300}},
      {{2, 2, 0, 1, 2}, 3, {500, 500, 500}},
      {{2, 3, 0, 1, 2, 0}, 4, {500, 500, 500, 500}},
  };
  for (const Case& c : cases) {
    Bench b;
    b.settings.frame.intervalMode = 2;
    b.folder.names = {L"a.jpg", L"b.jpg", L"c.jpg"};
    b.random = ScriptedRandom(c.draws);
    b.Run();
    EXPECT_EQ(b.surface.Count("load"), c.pictures);
    EXPECT_EQ(b.clock.waits, c.waits);
  }
}

TEST(IntervalImages, NeverTheSamePictureTwiceInARow) {
  Bench b;
  b.settings.frame.intervalMode = 2;
  b.settings.intervalStretch = 3;
  b.folder.names = {L"a.jpg", L"b.jpg", L"c.jpg"};
  // u, h: 3 pictures at 500 ms; draws 2, 2 (-> wraps to 0), 0 (-> 1).
  b.random = ScriptedRandom({1, 2, 2, 2, 0});
  b.Run();
  EXPECT_EQ(b.surface.loaded, (std::vector<std::filesystem::path>{PathFromText(L"C:\\c.jpg"), PathFromText(L"C:\\a.jpg"),
                                                                 PathFromText(L"C:\\b.jpg")}));
  // Each next picture is named before the wait, so it can be decoded meanwhile.
  EXPECT_EQ(b.surface.prefetched, (std::vector<std::filesystem::path>{PathFromText(L"C:\\a.jpg"),
                                                                     PathFromText(L"C:\\b.jpg")}));
  const PictureUse scaledOverBlack{false, 0, 0, false, PaletteColour(kPaletteBlack)};
  EXPECT_EQ(b.surface.uses, std::vector<PictureUse>(5, scaledOverBlack))
      << "three loads and two prefetches, all scaled, see-through parts over the run's black";
  EXPECT_EQ(b.surface.pictures.size(), 3u);
  // Stretched: the whole picture onto the whole screen, in points.
  EXPECT_EQ(b.surface.pictures[0].destination, (Rect{0, 0, 768, 576}));
  EXPECT_EQ(b.surface.pictures[0].source, (Rect{0, 0, 512, 384}));
}

TEST(IntervalImages, OnePictureFolderRepeatsIt) {
  Bench b;
  b.settings.frame.intervalMode = 2;
  b.folder.names = {L"only.gif"};
  b.random = ScriptedRandom({1, 3});  // 4 pictures at 500 ms
  b.Run();
  EXPECT_EQ(b.surface.Count("load"), 4);
}

TEST(IntervalImages, NoRun) {
  const auto nothing = [](Bench& b, const char* why) {
    b.Run();
    EXPECT_FALSE(b.state.intervalJustShown) << why;
    EXPECT_TRUE(b.surface.events.empty()) << why;
  };
  {
    Bench b;
    b.settings.frame.intervalMode = 1;
    b.folder.names = {L"a.jpg"};
    b.random = ScriptedRandom({0});
    nothing(b, "one chance in three");
  }
  {
    Bench b;
    b.folder.names = {L"a.jpg"};
    b.random = ScriptedRandom({1});
    nothing(b, "ItBMP 0");
    EXPECT_TRUE(b.random.asked.empty());
  }
  {
    Bench b;
    b.settings.frame.intervalMode = 1;
    b.preview = true;
    b.folder.names = {L"a.jpg"};
    b.random = ScriptedRandom({1});
    nothing(b, "preview");
  }
  {
    Bench b;
    b.settings.frame.intervalMode = 1;
    b.random = ScriptedRandom({1});
    nothing(b, "empty folder");
  }
  {
    Bench b;
    b.settings.frame.intervalMode = 1;
    b.settings.intervalFolder = L"D:\\gone";
    b.folder.names = {L"a.jpg"};
    b.random = ScriptedRandom({1});
    nothing(b, "missing folder");
  }
}

TEST(IntervalImages, BrokenPicturesAreSkippedWithoutAPause) {
  Bench b;
  b.settings.frame.intervalMode = 1;
  b.folder.names = {L"broken.jpg"};
  b.surface.pictureSize = {0, 0};
  b.random = ScriptedRandom({1, 2});
  b.Run();
  EXPECT_EQ(b.surface.Count("load"), 2);
  EXPECT_TRUE(b.surface.pictures.empty());
  EXPECT_TRUE(b.clock.waits.empty());
  EXPECT_TRUE(b.surface.prefetched.empty()) << "nothing is decoded ahead of a picture that failed";
  EXPECT_EQ(b.surface.events.back(), "timer on") << "the display goes on";
}

TEST(IntervalImages, ScalingsRoundToWholePixels) {
  Bench b;  // 1024 × 768 screen, picture 512 × 384 -> the same aspect
  b.settings.frame.intervalMode = 1;
  b.folder.names = {L"a.jpg"};
  b.surface.pictureSize = {333, 100};
  b.settings.intervalStretch = 2;  // r = 7.68; ex = 333 - 133.33 -> 200; source (100, 0, 133, 100)
  b.random = ScriptedRandom({1, 0});
  b.Run();
  ASSERT_EQ(b.surface.pictures.size(), 1u);
  EXPECT_EQ(b.surface.pictures[0].source, (Rect{100, 0, 133, 100}));
  EXPECT_EQ(b.surface.pictures[0].destination, (Rect{0, 0, 768, 576}));

  Bench own;
  own.settings.frame.intervalMode = 1;
  own.folder.names = {L"a.jpg"};
  own.surface.pictureSize = {333, 101};
  own.random = ScriptedRandom({1, 0});
  own.Run();
  // (1024 - 333) / 2 = 345.5 -> 346 pixels; (768 - 101) / 2 = 333.5 -> 334.
  EXPECT_EQ(own.surface.pictures[0].destination, (Rect{346 * 0.75f, 334 * 0.75f, 333 * 0.75f, 101 * 0.75f}));
  EXPECT_EQ(own.surface.uses, (std::vector<PictureUse>{{true, 0, 0, false, PaletteColour(kPaletteBlack)}}))
      << "own size, in the middle";
}

TEST(IntervalImages, ClosingTheFormEndsTheRunAtOnce) {
  Bench b;
  b.settings.frame.intervalMode = 2;
  b.folder.names = {L"a.jpg", L"b.jpg"};
  b.random = ScriptedRandom({1, 3});  // 4 pictures
  b.clock.waitStep = 100;
  b.host.closeAfterChecks = 3;
  b.Run();
  EXPECT_LT(b.surface.Count("load"), 4);
  EXPECT_EQ(b.surface.Count("timer on"), 0) << "a closed form gets no timer";
}

TEST(WaitMs, WaitsByTheTickCountWithoutSpinning) {
  RecordingSurface surface(10, 10);
  NotingHost host(surface);
  ManualClock clock(100);
  clock.waitStep = 120;
  EXPECT_TRUE(WaitMs(clock, host, 500));
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>{500, 380, 260, 140, 20}));
  clock.waits.clear();
  EXPECT_TRUE(WaitMs(clock, host, 0));
  EXPECT_TRUE(WaitMs(clock, host, -5));
  EXPECT_TRUE(clock.waits.empty());

  // A tick count that wraps past 2^31 stops the wait.
  ManualClock wrapping(0x7FFFFF00);
  wrapping.waitStep = 0x200;
  EXPECT_TRUE(WaitMs(wrapping, host, 100000));
  EXPECT_EQ(wrapping.waits.size(), 1u);
}

}  // namespace
}  // namespace zor

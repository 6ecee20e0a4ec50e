// Work off the window's thread: a wait that answers messages and gives up in
// time, work that never ends costing its thread alone, abandoned work, and
// the held picture never waiting twice for a read that did not end.
#include "win/screen/picture_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "bmp_file.h"
#include "win/options/picture_viewer.h"
#include "win/screen/held_picture.h"
#include "win/screen/loop_hold.h"
#include "win/screen/picture_decoder.h"

namespace zor::win {
namespace {

using zor::testing::TempFolder;
using zor::win::testing::WriteBmp;

// A read that never ends until the test lets it (the test double of a share
// that went to sleep).
struct Gate {
  HANDLE open = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~Gate() {
    SetEvent(open);
    CloseHandle(open);
  }
};

void WaitUntilNoWork() {
  for (int i = 0; i < 500 && RunningWork() > 0; ++i) Sleep(10);
}

// A wait that answers nothing and gives up at once: a page that cannot wait.
class NoWait final : public WorkWaiter {
 public:
  int calls = 0;
  [[nodiscard]] bool WaitFor(HANDLE, DWORD) override {
    ++calls;
    return false;
  }
};

// A quit left in the thread's queue by an earlier test would end every wait
// at once, as it ends the saver's.
class PictureWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
};

// Catches: a wait that holds the window's messages, or never gives up on a hung read.
TEST_F(PictureWorker, AWaitAnswersMessagesAndGivesUpAtItsLimit) {
  auto gate = std::make_shared<Gate>();
  auto work = StartWork([gate](const std::atomic<bool>&) {
    WaitForSingleObject(gate->open, INFINITE);
    return 7;
  });
  ASSERT_TRUE(work);
  // The thread's timer fires (its message is handled) during the wait.
  static bool fired;
  fired = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { fired = true; });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(WaitAnswering(work->Done(), 300, {}));
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  KillTimer(nullptr, timer);
  const bool answered = fired;
  EXPECT_TRUE(answered) << "the timer's messages were taken during the wait";
  EXPECT_GE(ms.count(), 250);
  EXPECT_LT(ms.count(), 2000);
  EXPECT_FALSE(work->Ended());
  // Once the read answers, the result is there.
  SetEvent(gate->open);
  EXPECT_TRUE(WaitAnswering(work->Done(), 5000, {}));
  EXPECT_EQ(work->Result(), 7);
  // A wait told to stop returns at once.
  auto never = StartWork([gate2 = std::make_shared<Gate>()](const std::atomic<bool>&) {
    WaitForSingleObject(gate2->open, 200);
    return 0;
  });
  ASSERT_TRUE(never);
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(WaitAnswering(never->Done(), 5000, [] { return true; }));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(150));
  WaitUntilNoWork();
}

// Catches: threads piling up behind reads that never end, and abandoned work
// kept running or keeping its result.
TEST_F(PictureWorker, HungWorkIsBoundedAndAbandonedWorkStopsAndLetsGo) {
  WaitUntilNoWork();
  auto gate = std::make_shared<Gate>();
  std::vector<std::shared_ptr<Work<int>>> hung;
  for (int i = 0; i < kMostRunningWork; ++i) {
    hung.push_back(StartWork([gate](const std::atomic<bool>&) {
      WaitForSingleObject(gate->open, INFINITE);
      return 1;
    }));
    ASSERT_TRUE(hung.back());
  }
  EXPECT_EQ(RunningWork(), kMostRunningWork);
  EXPECT_FALSE(StartWork([](const std::atomic<bool>&) { return 1; })) << "refused while every thread hangs";
  SetEvent(gate->open);
  WaitUntilNoWork();
  EXPECT_EQ(RunningWork(), 0);

  auto loops = StartWork([](const std::atomic<bool>& wanted) {
    std::vector<char> memory(1 << 20);
    while (wanted.load()) Sleep(1);
    return memory;
  });
  ASSERT_TRUE(loops);
  loops->Abandon();
  ASSERT_TRUE(WaitAnswering(loops->Done(), 5000, {})) << "abandoned work stops";
  WaitUntilNoWork();
  EXPECT_EQ(RunningWork(), 0);
}

// Catches: a decode that goes on to its end (and holds its memory) after it
// was abandoned.
TEST_F(PictureWorker, AnAbandonedDecodeStops) {
  TempFolder dir;
  WriteBmp(dir / "p.bmp", 400, 300);
  const std::atomic<bool> unwanted{false};
  EXPECT_EQ(DecodePictureFile(dir / "p.bmp", {200, 150}, {}, &unwanted).result, PictureLoad::kUnreadable);
  const std::atomic<bool> wanted{true};
  EXPECT_EQ(DecodePictureFile(dir / "p.bmp", {200, 150}, {}, &wanted).result, PictureLoad::kLoaded);
}

// Catches: the held picture decoding on the calling (window's) thread, waiting
// again on every page for a read that ran out of time, or decoding twice.
TEST_F(PictureWorker, TheHeldPictureNeverWaitsTwiceAndTakesTheDecodeWhenItEnds) {
  TempFolder dir;
  WriteBmp(dir / "big.bmp", 3000, 2000);
  WriteBmp(dir / "small.bmp", 40, 30);
  HeldPicture picture;
  NoWait page;
  picture.SetWaiter(&page, kPictureWaitMs);
  const PictureLoad first = picture.Load(dir / "big.bmp", {640, 480});
  ASSERT_EQ(page.calls, 1);
  if (first == PictureLoad::kNotReady) {
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Load(dir / "big.bmp", {640, 480}), PictureLoad::kNotReady);
    EXPECT_EQ(page.calls, 1) << "not waited for again while it runs";
    WaitUntilNoWork();
    // Ended since: taken without a wait.
    EXPECT_EQ(picture.Load(dir / "big.bmp", {640, 480}), PictureLoad::kLoaded);
    EXPECT_EQ(page.calls, 1);
  }
  // From here on the loads wait (each reads the file's stamp off the thread).
  picture.SetWaiter(nullptr, INFINITE);
  EXPECT_EQ(picture.Load(dir / "big.bmp", {640, 480}), PictureLoad::kLoaded);
  EXPECT_EQ(picture.Decodes(), 1);
  EXPECT_EQ(picture.OwnSize(), (PixelSize{3000, 2000}));
  // Asked again unchanged: held, not decoded again.
  EXPECT_EQ(picture.Load(dir / "big.bmp", {640, 480}), PictureLoad::kLoaded);
  EXPECT_EQ(picture.Decodes(), 1);
  // Another file while a prefetch runs: the prefetch is abandoned.
  picture.Prefetch(dir / "small.bmp", {640, 480});
  EXPECT_EQ(picture.Load(dir / "small.bmp", {640, 480}), PictureLoad::kLoaded);
  EXPECT_EQ(picture.TakenAhead(), 1);
  EXPECT_EQ(picture.Load(dir / "gone.bmp", {640, 480}), PictureLoad::kUnreadable);
  EXPECT_EQ(picture.OwnSize(), (PixelSize{40, 30})) << "a failed load keeps the picture held";
}

// Catches: the loop-held figure missing a long message, or counting the
// waits that answer messages as held.
TEST_F(PictureWorker, TheLoopHeldFigureCountsHandlingButNotWaits) {
  loop_hold::Reset();
  {
    const loop_hold::Handling handling;
    Sleep(40);
  }
  EXPECT_GE(loop_hold::LongestMs(), 35.0);
  loop_hold::Reset();
  {
    const loop_hold::Handling handling;
    auto work = StartWork([](const std::atomic<bool>&) {
      Sleep(120);
      return 0;
    });
    ASSERT_TRUE(work);
    EXPECT_TRUE(WaitAnswering(work->Done(), 5000, {}));
  }
  EXPECT_LT(loop_hold::LongestMs(), 60.0);
}

}  // namespace
}  // namespace zor::win

namespace zor::win {
namespace {

// Runs the thread's messages until done() or about 5 s.
template <class F>
void RunMessagesUntil(F&& done) {
  for (int i = 0; i < 500 && !done(); ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

// Catches: a viewer opened before its picture was read that never takes the
// picture (or its size), or stays open on a file that turns out broken.
TEST_F(PictureWorker, AViewerOpenedBeforeItsPictureTakesItOrClosesOnAFailure) {
  TempFolder dir;
  WriteBmp(dir / "a.bmp", 300, 200);
  zor::testing::WriteBytes(dir / "broken.jpg", "\xFF\xD8\xFF\xE0 truncated");
  {
    PictureViewer viewer;
    viewer.Start(dir / "a.bmp");
    ASSERT_TRUE(viewer.Open(nullptr));
    RunMessagesUntil([&] { return viewer.Outcome() != PictureLoad::kNotReady; });
    EXPECT_EQ(viewer.Outcome(), PictureLoad::kLoaded);
    RECT r{};
    GetClientRect(viewer.hwnd(), &r);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 200);
  }
  PictureViewer broken;
  broken.Start(dir / "broken.jpg");
  ASSERT_TRUE(broken.Open(nullptr));
  RunMessagesUntil([&] { return broken.Ended(); });
  EXPECT_TRUE(broken.Ended());
  EXPECT_NE(broken.Outcome(), PictureLoad::kLoaded);
  EXPECT_NE(broken.Outcome(), PictureLoad::kNotReady);
}

}  // namespace
}  // namespace zor::win

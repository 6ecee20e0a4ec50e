#include "core/screen/interval_images.h"

#include <cmath>

namespace zor {

namespace {

constexpr std::int32_t kQuickMs = 300;
constexpr std::int32_t kLingerMs = 1000;
constexpr std::int32_t kSteadyMs = 500;

Rect Rounded(const Rect& r) {
  return {std::round(r.x), std::round(r.y), std::round(r.width), std::round(r.height)};
}

}  // namespace

bool WaitMs(Clock& clock, IntervalHost& host, std::int32_t ms) {
  if (host.Closed()) return false;
  if (ms <= 0) return true;
  const std::int32_t start = clock.TickCount();
  for (;;) {
    const std::int32_t now = clock.TickCount();
    const auto passed = static_cast<std::int64_t>(now) - static_cast<std::int64_t>(start);
    if (passed < 0 || passed >= ms) return true;  // done, or the tick count wrapped
    clock.Wait(static_cast<std::int32_t>(ms - passed));
    if (host.Closed()) return false;
  }
}

RunPlan PlanRun(std::int16_t mode, std::int32_t displayInterval, RandomSource& random) {
  RunPlan plan;
  if (mode == kIntervalInOrder) {
    plan.count = random.Rand(3) == 2 ? 2 : 1;
    plan.time = displayInterval;
  } else if (mode == kIntervalShuffled) {
    int h = random.Rand(4) + 1;
    if (h == 1) h = 2;
    if (h == 2) {
      plan.count = random.Rand(4) + 3;
      plan.time = kQuickMs;
      plan.quickTimes = true;
    } else {
      plan.count = h;
      plan.time = kSteadyMs;
    }
  }
  return plan;
}

PictureUse IntervalPictureRun::Use() const {
  const Scaling scaling = ScalingOf(settings_.intervalStretch);
  // The run's pages are black.
  return {scaling == Scaling::kOwnSize, 0, 0, scaling == Scaling::kFill, PaletteColour(kPaletteBlack)};
}

void IntervalPictureRun::ClearBlack() {
  surface_->SetBackColour(PaletteColour(kPaletteBlack));
  surface_->Clear();
}

bool IntervalPictureRun::ShowPicture(const std::wstring& file) {
  Surface& surface = *surface_;
  if (!surface.LoadPicture(PathFromText(file), Use())) return false;
  const PointSize picture = surface.PictureSizePixels();
  if (picture.width <= 0.0f || picture.height <= 0.0f) return false;
  PicturePlacement placement = ScaleIntoArea(ScalingOf(settings_.intervalStretch), picture, ScreenPixels(surface));
  placement.source = Rounded(placement.source);
  placement.destination = Rounded(placement.destination);
  PaintPlacement(surface, placement, 0.0f, 0.0f);
  surface.Refresh();
  return true;
}

void IntervalPictureRun::ShowIntervalImages() {
  if (preview_ || settings_.frame.intervalMode == 0) return;
  if (random_.Rand(3) == 0) return;
  const std::wstring& folder = settings_.intervalFolder;
  if (!folders_.FolderExists(folder)) return;
  // A copy: the run outlives no listing, but the list must not change under it.
  const std::vector<std::wstring> files = folders_.Files(folder);
  if (files.empty()) return;

  state_.intervalJustShown = true;
  host_.StopTimer();
  ClearBlack();
  surface_->Refresh();

  const RunPlan plan = PlanRun(settings_.frame.intervalMode, host_.TimerInterval(), random_);
  const int n = static_cast<int>(files.size());
  const auto fileAt = [&](int i) { return JoinFolderFile(folder, files[static_cast<std::size_t>(i)]); };
  // Never the same picture twice in a row.
  const auto pick = [&](int previous) {
    int i = random_.Rand(n);
    if (i == previous && ++i >= n) i = 0;
    return i;
  };
  int previous = -1;
  int next = -1;
  for (int k = 0; k < plan.count && !host_.Closed(); ++k) {
    surface_->Clear();
    const int i = next >= 0 ? next : pick(previous);
    next = -1;
    previous = i;
    const bool shown = ShowPicture(fileAt(i));
    std::int32_t time = plan.time;
    if (plan.quickTimes && random_.Rand(3) == 0) time = kLingerMs;
    // A picture that cannot be loaded is skipped without a pause.
    if (!shown) continue;
    // The next picture is chosen now (the draws keep their order) and
    // decoded while this one is shown.
    if (k + 1 < plan.count) {
      next = pick(previous);
      surface_->PrefetchPicture(PathFromText(fileAt(next)), Use());
    }
    if (!WaitMs(clock_, host_, time)) break;
  }
  if (host_.Closed()) return;
  surface_->Clear();
  host_.RestartTimer();
}

}  // namespace zor

// Interval images: between two messages, now and then, a short run of
// pictures drawn at random from a folder, full screen on a black ground,
// while the display timer is stopped.
#pragma once

#include <cstdint>

#include "core/screen/background.h"
#include "core/screen/sequencer.h"
#include "core/screen/surface.h"

namespace zor {

// The display timer and the form as the run sees them.
class IntervalHost {
 public:
  virtual ~IntervalHost() = default;
  // The per-message display time in milliseconds.
  [[nodiscard]] virtual std::int32_t TimerInterval() = 0;
  virtual void StopTimer() = 0;
  // Starts the timer again; it counts its interval from now.
  virtual void RestartTimer() = 0;
  // True once the form has closed: a run stops at once.
  [[nodiscard]] virtual bool Closed() = 0;
};

// Lets ms milliseconds pass by the clock's tick count, running window
// messages meanwhile; returns at once for 0 or less and when the tick count
// goes backwards. False when the form closed during the wait.
[[nodiscard]] bool WaitMs(Clock& clock, IntervalHost& host, std::int32_t ms);

// How many pictures a run shows and how long each stays.
struct RunPlan {
  int count = 0;
  // Milliseconds for picture i: every picture the same unless quickTimes.
  std::int32_t time = 0;
  bool quickTimes = false;  // 300 ms, or 1000 ms with one chance in three, drawn per picture
};

// ItBMP 1: one picture (two chances in three) or two, each for the display
// interval; ItBMP 2: 3 to 6 quick pictures, or 3 or 4 at 500 ms each.
[[nodiscard]] RunPlan PlanRun(std::int16_t mode, std::int32_t displayInterval, RandomSource& random);

class IntervalPictureRun final : public IntervalImages {
 public:
  IntervalPictureRun(Surface& surface, Clock& clock, RandomSource& random, PictureFolders& folders,
                     const PictureSettings& settings, FrameState& state, IntervalHost& host, bool preview)
      : surface_(&surface),
        clock_(clock),
        random_(random),
        folders_(folders),
        settings_(settings),
        state_(state),
        host_(host),
        preview_(preview) {}

  void ShowIntervalImages() override;
  void Rebind(Surface& surface) noexcept { surface_ = &surface; }

 private:
  // Shows entry i of the list full screen; false when it cannot be loaded.
  [[nodiscard]] bool ShowPicture(const std::wstring& file);
  void ClearBlack();
  // Pictures are centred, at their own size or scaled.
  [[nodiscard]] PictureUse Use() const;

  Surface* surface_;
  Clock& clock_;
  RandomSource& random_;
  PictureFolders& folders_;
  const PictureSettings& settings_;
  FrameState& state_;
  IntervalHost& host_;
  bool preview_;
};

}  // namespace zor

// Work taken off a window's thread (reading, listing and decoding pictures):
// each piece runs on a thread of work of its own (one left idle by earlier
// work where there is one) that nobody joins, so a read that never ends
// costs that thread alone, and the process still ends at once.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace zor::win {

// How a thread waits for work running elsewhere: until done is signalled or
// ms pass (INFINITE: no limit). True when the work ended. A window's thread
// answers its messages meanwhile.
class WorkWaiter {
 public:
  virtual ~WorkWaiter() = default;
  [[nodiscard]] virtual bool WaitFor(HANDLE done, DWORD ms) = 0;
};

// A wait that answers no messages (threads without windows, tools, tests).
class PlainWaiter final : public WorkWaiter {
 public:
  [[nodiscard]] bool WaitFor(HANDLE done, DWORD ms) override { return WaitForSingleObject(done, ms) == WAIT_OBJECT_0; }
};

// Waits for done while answering the thread's messages (MsgWaitForMultipleObjects
// and PeekMessage); gives up at ms or as soon as stop() is true.
[[nodiscard]] bool WaitAnswering(HANDLE done, DWORD ms, const std::function<bool()>& stop);

// How long a page waits for a picture or a folder before it goes on without it.
inline constexpr DWORD kPictureWaitMs = 2000;
// The most pieces of work running at once: beyond, reads that never ended
// hold them, and new work is refused rather than piling up threads.
inline constexpr int kMostRunningWork = 8;

// The threads of work still running (tests and diagnostics).
[[nodiscard]] int RunningWork() noexcept;

namespace detail {
// Counts a thread in; false when kMostRunningWork already run.
[[nodiscard]] bool EnterWork() noexcept;
void LeaveWork() noexcept;
// Runs body on an idle thread of work, or a new detached one; false when none can be made.
[[nodiscard]] bool RunDetached(std::function<void()> body) noexcept;
}  // namespace detail

// One piece of work and its result, shared by the thread that runs it and
// whoever waits for it.
template <class T>
class Work {
 public:
  Work() : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Work() {
    if (done_) CloseHandle(done_);
  }
  Work(const Work&) = delete;
  Work& operator=(const Work&) = delete;

  [[nodiscard]] HANDLE Done() const noexcept { return done_; }
  [[nodiscard]] bool Ended() const noexcept { return WaitForSingleObject(done_, 0) == WAIT_OBJECT_0; }
  // The result, once Ended().
  [[nodiscard]] T& Result() { return *result_; }
  // The work stops where it can and its result is let go on its own thread.
  void Abandon() noexcept { wanted_.store(false, std::memory_order_relaxed); }
  [[nodiscard]] const std::atomic<bool>& Wanted() const noexcept { return wanted_; }
  // A wait for this work already ran out: the next does not wait again.
  bool waitedOut = false;

  // The working thread's last step: keeps the result if it is still wanted.
  void Finish(std::optional<T>&& result) {
    if (wanted_.load(std::memory_order_relaxed)) result_ = std::move(result);
    SetEvent(done_);
  }

 private:
  HANDLE done_;
  std::optional<T> result_;
  std::atomic<bool> wanted_{true};
};

// Starts body(wanted) on a thread of its own; nullptr when no thread can be
// made, no event, or too many pieces still run. A body that throws ends its
// work with a default T. When it ends, the window notify (if any) is posted
// msg.
template <class F>
std::shared_ptr<Work<std::invoke_result_t<F, const std::atomic<bool>&>>> StartWork(F&& body, HWND notify = nullptr,
                                                                                   UINT msg = 0) {
  using T = std::invoke_result_t<F, const std::atomic<bool>&>;
  std::shared_ptr<Work<T>> work;
  try {
    work = std::make_shared<Work<T>>();
  } catch (...) {
    return nullptr;
  }
  if (!work->Done() || !detail::EnterWork()) return nullptr;
  const bool started = detail::RunDetached([work, notify, msg, body = std::forward<F>(body)]() mutable {
    std::optional<T> result;
    try {
      result.emplace(body(work->Wanted()));
    } catch (...) {
      try {
        result.emplace();
      } catch (...) {
      }
    }
    work->Finish(std::move(result));
    if (notify) PostMessageW(notify, msg, 0, 0);
    detail::LeaveWork();
  });
  if (!started) {
    detail::LeaveWork();
    return nullptr;
  }
  return work;
}

}  // namespace zor::win

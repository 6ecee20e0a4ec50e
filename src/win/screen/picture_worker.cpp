#include "win/screen/picture_worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "win/screen/loop_hold.h"

namespace zor::win {

namespace {
std::atomic<int> running{0};

// Threads whose work ended wait here for the next, so that a page does not
// pay for a new thread (and every library's thread attach) each time. Made
// once and never destroyed: nothing at exit waits on it or on its threads.
struct Pool {
  std::mutex lock;
  std::condition_variable wake;
  std::deque<std::function<void()>> queued;
  int idle = 0;
};
Pool& ThePool() {
  static Pool* const pool = new Pool;
  return *pool;
}

void WorkLoop(std::function<void()> body) {
  Pool& pool = ThePool();
  for (;;) {
    body();
    std::unique_lock<std::mutex> hold(pool.lock);
    ++pool.idle;
    pool.wake.wait(hold, [&] { return !pool.queued.empty(); });
    --pool.idle;
    body = std::move(pool.queued.front());
    pool.queued.pop_front();
  }
}
}  // namespace

int RunningWork() noexcept { return running.load(std::memory_order_relaxed); }

namespace detail {

bool EnterWork() noexcept {
  int now = running.load(std::memory_order_relaxed);
  do {
    if (now >= kMostRunningWork) return false;
  } while (!running.compare_exchange_weak(now, now + 1, std::memory_order_relaxed));
  return true;
}

void LeaveWork() noexcept { running.fetch_sub(1, std::memory_order_relaxed); }

bool RunDetached(std::function<void()> body) noexcept {
  try {
    Pool& pool = ThePool();
    {
      const std::lock_guard<std::mutex> hold(pool.lock);
      if (pool.idle > static_cast<int>(pool.queued.size())) {
        pool.queued.push_back(std::move(body));
        pool.wake.notify_one();
        return true;
      }
    }
    std::thread(WorkLoop, std::move(body)).detach();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace detail

bool WaitAnswering(HANDLE done, DWORD ms, const std::function<bool()>& stop) {
  const ULONGLONG deadline = ms == INFINITE ? ~0ull : GetTickCount64() + ms;
  for (;;) {
    if (stop && stop()) return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : ms == INFINITE ? INFINITE : static_cast<DWORD>(deadline - now);
    loop_hold::Idle();
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    loop_hold::Busy();
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;  // time is up
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (stop && stop()) return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
    }
  }
}

}  // namespace zor::win

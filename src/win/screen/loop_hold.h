// Diagnostics: the longest time a window's thread held its message loop, from
// taking a message (or waking in a wait that answers messages) to looking at
// the queue again. Only the thread that marks it uses it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace zor::win::loop_hold {

namespace detail {
inline std::atomic<std::int64_t> longest{0};  // counter ticks
// Plain, not thread_local (which mingw emulates with allocations): only
// the window's thread marks.
inline std::int64_t since = 0;  // 0: not holding
inline int depth = 0;
inline std::int64_t Now() noexcept {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}
}  // namespace detail

// Control came from the queue.
inline void Busy() noexcept {
  if (detail::since == 0) detail::since = detail::Now();
}
// Control goes back to the queue (or to a wait that answers it).
inline void Idle() noexcept {
  if (detail::since == 0) return;
  const std::int64_t held = detail::Now() - detail::since;
  detail::since = 0;
  std::int64_t was = detail::longest.load(std::memory_order_relaxed);
  while (held > was && !detail::longest.compare_exchange_weak(was, held, std::memory_order_relaxed)) {
  }
}
// A message handled: held from the outermost one's start to its end, less the waits inside.
class Handling {
 public:
  Handling() noexcept {
    if (detail::depth++ == 0) Busy();
  }
  ~Handling() {
    if (--detail::depth == 0) Idle();
  }
  Handling(const Handling&) = delete;
  Handling& operator=(const Handling&) = delete;
};

[[nodiscard]] inline double LongestMs() noexcept {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1000.0 * static_cast<double>(detail::longest.load(std::memory_order_relaxed)) / static_cast<double>(f.QuadPart);
}
inline void Reset() noexcept { detail::longest.store(0, std::memory_order_relaxed); }

}  // namespace zor::win::loop_hold

#include "core/screen/banded_shrinker.h"

#include <chrono>
#include <system_error>

namespace zor {

namespace {

// Below this many source pixels one band is quicker than handing rows over.
constexpr std::int64_t kBandedFrom = 1 << 20;

}  // namespace

BandedShrinker::BandedShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout, int firstRow,
                               int endRow) {
  const bool two = std::thread::hardware_concurrency() >= 2 && to.width >= 64 &&
                   static_cast<std::int64_t>(from.width) * from.height >= kBandedFrom;
  if (two) {
    const int split = to.width / 2;
    left_.emplace(from, to, output, layout, 0, split, firstRow, endRow);
    right_.emplace(from, to, output, layout, split, to.width, firstRow, endRow);
    try {
      worker_ = std::thread([this] { Work(); });
      return;
    } catch (const std::system_error&) {
      right_.reset();
    }
  }
  left_.emplace(from, to, output, layout, 0, -1, firstRow, endRow);
}

BandedShrinker::~BandedShrinker() {
  if (!worker_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void BandedShrinker::Work() {
  std::uint64_t seen = 0;
  for (;;) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stop_ || given_ != seen; });
    if (given_ == seen) return;  // stopped with nothing left to do
    seen = given_;
    const std::uint8_t* rows = rows_;
    const int count = count_;
    const std::size_t stride = stride_;
    const bool finish = finish_;
    lock.unlock();
    for (int r = 0; r < count; ++r) right_->AddRow(rows + static_cast<std::size_t>(r) * stride);
    if (finish) right_->Finish();
    lock.lock();
    done_.store(seen, std::memory_order_release);
    lock.unlock();
    changed_.notify_all();
  }
}

void BandedShrinker::AddRows(const std::uint8_t* rows, int count, std::size_t stride) {
  if (worker_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      rows_ = rows;
      count_ = count;
      stride_ = stride;
      ++given_;
    }
    changed_.notify_all();
  }
  for (int r = 0; r < count; ++r) left_->AddRow(rows + static_cast<std::size_t>(r) * stride);
  // The rows are the caller's again only when the other band is done with them.
  if (worker_.joinable()) AwaitOtherBand();
}

void BandedShrinker::AwaitOtherBand() {
  // The other band mostly ends soon after this one, sooner than a sleeping
  // thread wakes: watch for it a while before sleeping, yielding the
  // processor in case that band's thread is waiting for it.
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
  while (done_.load(std::memory_order_acquire) != given_ && std::chrono::steady_clock::now() < until) {
    std::this_thread::yield();
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return done_.load(std::memory_order_acquire) == given_; });
}

void BandedShrinker::Finish() {
  if (worker_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      count_ = 0;
      finish_ = true;
      ++given_;
    }
    changed_.notify_all();
  }
  left_->Finish();
  if (worker_.joinable()) AwaitOtherBand();
}

}  // namespace zor

// A reduction made in two column bands side by side, the second on a thread
// of its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "core/screen/decoded_row.h"
#include "core/screen/pixel_size.h"
#include "core/screen/row_shrinker.h"

namespace zor {

// A reduction in two column bands, the second made on a thread of its own
// while the caller's thread makes the first; one band where the picture is
// small, only one processor is present or no thread can be started. The
// output is the same as RowShrinker's, pixel for pixel.
class BandedShrinker {
 public:
  // Output rows [firstRow, endRow) alone when given, as for RowShrinker.
  BandedShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout, int firstRow = 0,
                 int endRow = -1);
  ~BandedShrinker();
  BandedShrinker(const BandedShrinker&) = delete;
  BandedShrinker& operator=(const BandedShrinker&) = delete;

  // The source rows to give, as for RowShrinker.
  [[nodiscard]] int FirstSourceRow() const noexcept { return left_->FirstSourceRow(); }
  [[nodiscard]] int EndSourceRow() const noexcept { return left_->EndSourceRow(); }
  // count rows in the layout given, stride bytes apart.
  void AddRows(const std::uint8_t* rows, int count, std::size_t stride);
  void Finish();
  [[nodiscard]] int Bands() const noexcept { return worker_.joinable() ? 2 : 1; }

 private:
  void Work();
  void AwaitOtherBand();

  std::optional<RowShrinker> left_;
  std::optional<RowShrinker> right_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // The rows handed to the second band, and which hand-over it is on.
  const std::uint8_t* rows_ = nullptr;
  int count_ = 0;
  std::size_t stride_ = 0;
  bool finish_ = false;
  bool stop_ = false;
  std::uint64_t given_ = 0;
  std::atomic<std::uint64_t> done_ = 0;
  std::thread worker_;
};

}  // namespace zor

// Reduction of decoded pictures as their rows come: the size a picture is
// kept at for a screen, decoded rows as 32-bit pixels (0x00RRGGBB), and area
// averaging in one pass, in one band or two side by side.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace zor {

// The size a picture is kept at for a screen: its own size, or smaller with
// the aspect kept when it is larger than needed to cover the screen.
struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};
[[nodiscard]] PixelSize KeptSize(PixelSize picture, PixelSize screen) noexcept;

// How the bytes of a decoded row hold a pixel: one grey byte; blue, green,
// red; or blue, green, red and an unused byte (0x00RRGGBB in memory).
enum class RowLayout { kGray8 = 1, kBgr24 = 3, kBgrx32 = 4 };

[[nodiscard]] constexpr int BytesPerPixel(RowLayout layout) noexcept { return static_cast<int>(layout); }

// One decoded row as 0x00RRGGBB pixels.
void ExpandRow(const std::uint8_t* row, RowLayout layout, int width, std::uint32_t* out) noexcept;

// The code that weights rows into column sums and column sums into output
// pixels: plain C++; SSE2 (64-bit lane multiplies for the columns); SSE4.1
// (one 32-bit lane multiply per column tap); AVX2 (that, and rows weighted
// eight sums at a time). Every kernel gives the same output, bit for bit.
enum class ShrinkKernel { kPortable, kSse2, kSse41, kAvx2 };

// The kernel reductions started from now on use: the one asked for, or the
// best this processor has below it. Returns the kernel in use. The best one
// is used unless this is called (by tests and benchmarks).
ShrinkKernel SetShrinkKernel(ShrinkKernel wanted) noexcept;

// Area-averaging reduction fed row by row, in order: the memory it takes is
// that of the output and two rows, whatever the size of the input. Weights
// are fixed-point (1/4096 of an output pixel per axis), so a flat colour
// stays exactly flat and every output pixel is a rounded exact average.
class RowShrinker {
 public:
  // output: to.width × to.height pixels (to ≤ from on each axis). Only the
  // output columns [firstColumn, endColumn) are made (all when endColumn < 0),
  // so that bands of one picture can be made side by side. Only the output
  // rows [firstRow, endRow) are made (all when endRow < 0), output then
  // holding those rows alone: row firstRow at its start.
  RowShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout = RowLayout::kBgrx32,
              int firstColumn = 0, int endColumn = -1, int firstRow = 0, int endRow = -1);
  // The source rows the output rows made are weighted from: the rows to give,
  // from the first on. Rows given after the last are ignored.
  [[nodiscard]] int FirstSourceRow() const noexcept { return firstSourceRow_; }
  [[nodiscard]] int EndSourceRow() const noexcept { return endSourceRow_; }
  // A row of from.width pixels in the layout given.
  void AddRow(const std::uint8_t* row);
  // A row of 0x00RRGGBB pixels; for the kBgrx32 layout only.
  void AddRow(const std::uint32_t* row);
  // Rows not yet given count as black: a short file still gives a whole picture.
  void Finish();

 private:
  void Add(const std::uint8_t* row);
  void Emit();

  PixelSize from_;
  PixelSize to_;
  std::uint32_t* output_;
  int channels_;
  ShrinkKernel kernel_;
  int firstColumn_;
  int endColumn_;
  int firstSource_ = 0;  // the first source column the band reads
  int firstRow_;
  int endRow_;
  int firstSourceRow_ = 0;
  int endSourceRow_ = 0;
  int sourceRow_ = 0;
  int destRow_ = 0;
  // Per output column of the band: where its taps start among the band's
  // source columns, and taps_ weights (zero past its own taps), so that every
  // column is read with the same fixed number of taps. Where the three
  // channels are weighted in vector registers, each weight is kept four times.
  int taps_ = 0;
  std::size_t sums_ = 0;  // column sums per row: source columns × bytes per pixel
  std::vector<int> start_;
  std::vector<std::uint32_t> weights_;
  std::vector<std::uint32_t> current_;  // weighted column sums of the output row being made
  std::vector<std::uint32_t> next_;     // and of the row after it
  bool currentHeld_ = false;            // whether they hold any sum yet (else they are stale)
  bool nextHeld_ = false;
};

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

// Area-averaging reduction of a picture fed row by row, as its rows are
// decoded, into 32-bit pixels (0x00RRGGBB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/screen/decoded_row.h"
#include "core/screen/pixel_size.h"

namespace zor {

namespace shrink {
struct KernelFunctions;
}

// Area-averaging reduction fed row by row, in order: the memory it takes is
// that of the output and two rows, whatever the size of the input. Weights
// are fixed-point (1/4096 of an output pixel per axis), so a flat colour
// stays exactly flat and every output pixel is a rounded exact average. Made
// with the kernel chosen when it is made (SetShrinkKernel).
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
  const shrink::KernelFunctions* kernel_;
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
  // source columns, and taps_ weights (shrink::ColumnWeights).
  int taps_ = 0;
  std::size_t sums_ = 0;  // column sums per row: source columns × bytes per pixel
  std::vector<int> start_;
  std::vector<std::uint32_t> weights_;
  std::vector<std::uint32_t> current_;  // weighted column sums of the output row being made
  std::vector<std::uint32_t> next_;     // and of the row after it
  bool currentHeld_ = false;            // whether they hold any sum yet (else they are stale)
  bool nextHeld_ = false;
};

}  // namespace zor

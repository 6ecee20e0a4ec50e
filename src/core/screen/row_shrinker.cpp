#include "core/screen/row_shrinker.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "core/screen/shrink_kernels.h"
#include "core/screen/shrink_weights.h"

namespace zor {

static_assert(std::endian::native == std::endian::little, "0x00RRGGBB pixels are read as bytes B, G, R, 0");

using shrink::EdgeAt;
using shrink::kUnit;

RowShrinker::RowShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout, int firstColumn,
                         int endColumn, int firstRow, int endRow)
    : from_(from),
      to_(to),
      output_(output),
      channels_(BytesPerPixel(layout)),
      kernel_(&shrink::ChosenShrinkKernel()),
      firstColumn_(std::clamp(firstColumn, 0, to.width)),
      endColumn_(endColumn < 0 ? to.width : std::clamp(endColumn, firstColumn_, to.width)),
      firstRow_(std::clamp(firstRow, 0, to.height)),
      endRow_(endRow < 0 ? to.height : std::clamp(endRow, firstRow_, to.height)) {
  // The source rows overlapping output rows [firstRow_, endRow_): from the one
  // ending past the first's top edge to the last starting above the end's.
  if (firstRow_ > 0) {
    firstSourceRow_ =
        shrink::SourceEdgeFrom(static_cast<std::uint32_t>(firstRow_) * kUnit + 1, from.height, to.height) - 1;
  }
  endSourceRow_ = endRow_ > firstRow_
                      ? shrink::SourceEdgeFrom(static_cast<std::uint32_t>(endRow_) * kUnit, from.height, to.height)
                      : firstSourceRow_;
  sourceRow_ = firstSourceRow_;
  destRow_ = firstRow_;
  shrink::ColumnWeights columns = shrink::MakeColumnWeights(from.width, to.width, firstColumn_, endColumn_,
                                                            channels_ > 1 && kernel_->columns.spreadWeights);
  firstSource_ = columns.firstSource;
  taps_ = columns.taps;
  start_ = std::move(columns.start);
  weights_ = std::move(columns.weights);
  sums_ = static_cast<std::size_t>(columns.sources) * static_cast<std::size_t>(channels_);
  current_.assign(sums_ + 1, 0u);  // one more for the read past the last pixel of three
  next_.assign(current_.size(), 0u);
}

void RowShrinker::Emit() {
  std::uint32_t* out = output_ + static_cast<std::size_t>(destRow_ - firstRow_) * static_cast<std::size_t>(to_.width) +
                       static_cast<std::size_t>(firstColumn_);
  const int columns = endColumn_ - firstColumn_;
  if (!currentHeld_) {
    std::fill(out, out + columns, 0u);  // no row reached it: black
  } else {
    const shrink::ColumnWeighting& weigh = kernel_->columns;
    const shrink::EmitRowFn emit = channels_ == 1 ? weigh.emitGrey : channels_ == 3 ? weigh.emitBgr : weigh.emitBgrx;
    emit(current_.data(), start_.data(), weights_.data(), columns, taps_, out);
  }
  std::swap(current_, next_);
  currentHeld_ = nextHeld_;
  nextHeld_ = false;
  ++destRow_;
}

void RowShrinker::Add(const std::uint8_t* row) {
  if (sourceRow_ >= endSourceRow_) return;
  const std::uint32_t a = EdgeAt(sourceRow_, from_.height, to_.height);
  const std::uint32_t b = EdgeAt(sourceRow_ + 1, from_.height, to_.height);
  ++sourceRow_;
  // A source row falls into at most two output rows: the one being made and
  // the next (if made). The first row given may start in the row before the
  // first made: only its part from there on is weighted.
  const std::uint32_t top = static_cast<std::uint32_t>(destRow_) * kUnit;
  const std::uint32_t edge = top + kUnit;
  const std::uint32_t here = std::min(b, edge) - std::min(std::max(a, top), edge);
  const std::uint32_t there = b > edge && destRow_ + 1 < endRow_ ? b - std::max(a, edge) : 0u;
  if (row) {
    const std::uint8_t* in = row + static_cast<std::size_t>(firstSource_) * static_cast<std::size_t>(channels_);
    if (here) {
      (currentHeld_ ? kernel_->rows.addSums : kernel_->rows.setSums)(current_.data(), in, sums_, here);
      currentHeld_ = true;
    }
    if (there) {
      (nextHeld_ ? kernel_->rows.addSums : kernel_->rows.setSums)(next_.data(), in, sums_, there);
      nextHeld_ = true;
    }
  }
  if (b >= edge && destRow_ < endRow_) Emit();
}

void RowShrinker::AddRow(const std::uint8_t* row) { Add(row); }

void RowShrinker::AddRow(const std::uint32_t* row) { Add(reinterpret_cast<const std::uint8_t*>(row)); }

void RowShrinker::Finish() {
  while (sourceRow_ < endSourceRow_) Add(nullptr);
  while (destRow_ < endRow_) Emit();
}

}  // namespace zor

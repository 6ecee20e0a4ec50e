#include "core/screen/area_shrinker.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <system_error>

namespace zor {

PixelSize KeptSize(PixelSize picture, PixelSize screen) noexcept {
  if (picture.width <= 0 || picture.height <= 0 || screen.width <= 0 || screen.height <= 0) return picture;
  const double f = std::max(static_cast<double>(screen.width) / picture.width,
                            static_cast<double>(screen.height) / picture.height);
  if (f >= 1.0) return picture;
  const auto side = [f](int n) { return std::clamp(static_cast<int>(std::ceil(n * f - 1e-6)), 1, n); };
  return {side(picture.width), side(picture.height)};
}

// ---- Area-averaging reduction -------------------------------------------

static_assert(std::endian::native == std::endian::little, "0x00RRGGBB pixels are read as bytes B, G, R, 0");

namespace {

// Fixed-point weights: one output pixel is kUnit along each axis.
constexpr int kUnitBits = 12;
constexpr std::uint32_t kUnit = 1u << kUnitBits;

// Where source edge x falls along an axis of from -> to pixels, in output
// units: 0 at the first edge and exactly to × kUnit at the last, so the
// weights of the source pixels in any output pixel add up to kUnit.
std::uint32_t EdgeAt(std::int64_t x, int from, int to) {
  return static_cast<std::uint32_t>((2 * x * to * kUnit + from) / (2 * static_cast<std::int64_t>(from)));
}

}  // namespace

void ExpandRow(const std::uint8_t* row, RowLayout layout, int width, std::uint32_t* out) noexcept {
  switch (layout) {
    case RowLayout::kGray8:
      for (int i = 0; i < width; ++i) out[i] = std::uint32_t{row[i]} * 0x010101u;
      break;
    case RowLayout::kBgr24:
      for (int i = 0; i < width; ++i, row += 3) {
        out[i] = std::uint32_t{row[0]} | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16;
      }
      break;
    case RowLayout::kBgrx32:
      for (int i = 0; i < width; ++i, row += 4) {
        out[i] = std::uint32_t{row[0]} | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16;
      }
      break;
  }
}

RowShrinker::RowShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout, int firstColumn,
                         int endColumn)
    : from_(from),
      to_(to),
      output_(output),
      channels_(BytesPerPixel(layout)),
      firstColumn_(std::clamp(firstColumn, 0, to.width)),
      endColumn_(endColumn < 0 ? to.width : std::clamp(endColumn, firstColumn_, to.width)) {
  const auto columns = static_cast<std::size_t>(endColumn_ - firstColumn_);
  first_.reserve(columns);
  count_.reserve(columns);
  weightAt_.reserve(columns);
  // Start a little before the band's first source column and walk to it.
  int i = std::max(0, static_cast<int>(static_cast<std::int64_t>(firstColumn_) * from.width / std::max(1, to.width)) - 1);
  for (int j = firstColumn_; j < endColumn_; ++j) {
    const std::uint32_t lo = static_cast<std::uint32_t>(j) * kUnit;
    const std::uint32_t hi = lo + kUnit;
    while (i < from.width && EdgeAt(i + 1, from.width, to.width) <= lo) ++i;
    first_.push_back(i);
    weightAt_.push_back(weights_.size());
    int k = i;
    for (; k < from.width; ++k) {
      const std::uint32_t a = std::max(EdgeAt(k, from.width, to.width), lo);
      const std::uint32_t b = std::min(EdgeAt(k + 1, from.width, to.width), hi);
      if (a >= hi) break;
      weights_.push_back(b > a ? b - a : 0u);
    }
    count_.push_back(k - i);
  }
  int lastSource = 0;
  if (!first_.empty()) {
    firstSource_ = first_.front();
    lastSource = first_.back() + count_.back();
  }
  current_.assign(static_cast<std::size_t>(lastSource - firstSource_) * static_cast<std::size_t>(channels_), 0u);
  next_.assign(current_.size(), 0u);
}

void RowShrinker::Emit() {
  std::uint32_t* out = output_ + static_cast<std::size_t>(destRow_) * static_cast<std::size_t>(to_.width);
  const std::uint32_t* acc = current_.data();
  const int c = channels_;
  // Each column sum is at most 255 × kUnit and the weights add up to kUnit,
  // so the totals stay below 2^32.
  constexpr std::uint32_t kHalf = 1u << (2 * kUnitBits - 1);
  for (int j = firstColumn_; j < endColumn_; ++j) {
    const auto band = static_cast<std::size_t>(j - firstColumn_);
    const std::uint32_t* w = &weights_[weightAt_[band]];
    const std::uint32_t* p = acc + static_cast<std::size_t>(first_[band] - firstSource_) * c;
    const int n = count_[band];
    if (c == 1) {
      std::uint32_t v = kHalf;
      for (int k = 0; k < n; ++k) v += w[k] * p[k];
      out[j] = (v >> (2 * kUnitBits)) * 0x010101u;
    } else {
      std::uint32_t b = kHalf;
      std::uint32_t g = kHalf;
      std::uint32_t r = kHalf;
      for (int k = 0; k < n; ++k, p += c) {
        b += w[k] * p[0];
        g += w[k] * p[1];
        r += w[k] * p[2];
      }
      out[j] = (r >> (2 * kUnitBits)) << 16 | (g >> (2 * kUnitBits)) << 8 | (b >> (2 * kUnitBits));
    }
  }
  std::swap(current_, next_);
  std::fill(next_.begin(), next_.end(), 0u);
  ++destRow_;
}

void RowShrinker::Add(const std::uint8_t* row) {
  if (sourceRow_ >= from_.height) return;
  const std::uint32_t a = EdgeAt(sourceRow_, from_.height, to_.height);
  const std::uint32_t b = EdgeAt(sourceRow_ + 1, from_.height, to_.height);
  ++sourceRow_;
  // A source row falls into at most two output rows: the one being made and the next.
  const std::uint32_t edge = static_cast<std::uint32_t>(destRow_ + 1) * kUnit;
  const std::uint32_t here = std::min(b, edge) - std::min(a, edge);
  const std::uint32_t there = b > edge ? b - std::max(a, edge) : 0u;
  if (row) {
    const std::size_t n = current_.size();
    std::uint32_t* __restrict cur = current_.data();
    std::uint32_t* __restrict nxt = next_.data();
    const std::uint8_t* __restrict in = row + static_cast<std::size_t>(firstSource_) * static_cast<std::size_t>(channels_);
    if (here) {
      for (std::size_t k = 0; k < n; ++k) cur[k] += here * in[k];
    }
    if (there) {
      for (std::size_t k = 0; k < n; ++k) nxt[k] += there * in[k];
    }
  }
  if (b >= edge && destRow_ < to_.height) Emit();
}

void RowShrinker::AddRow(const std::uint8_t* row) { Add(row); }

void RowShrinker::AddRow(const std::uint32_t* row) { Add(reinterpret_cast<const std::uint8_t*>(row)); }

void RowShrinker::Finish() {
  while (sourceRow_ < from_.height) Add(nullptr);
  while (destRow_ < to_.height) Emit();
}

// ---- Two bands at once ------------------------------------------------------

namespace {

// Below this many source pixels one band is quicker than handing rows over.
constexpr std::int64_t kBandedFrom = 1 << 20;

}  // namespace

BandedShrinker::BandedShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout) {
  const bool two = std::thread::hardware_concurrency() >= 2 && to.width >= 64 &&
                   static_cast<std::int64_t>(from.width) * from.height >= kBandedFrom;
  if (two) {
    const int split = to.width / 2;
    left_.emplace(from, to, output, layout, 0, split);
    right_.emplace(from, to, output, layout, split, to.width);
    try {
      worker_ = std::thread([this] { Work(); });
      return;
    } catch (const std::system_error&) {
      right_.reset();
    }
  }
  left_.emplace(from, to, output, layout);
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
    done_ = seen;
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
  if (worker_.joinable()) {
    // The rows are the caller's again only when the other band is done with them.
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ == given_; });
  }
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
  if (worker_.joinable()) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ == given_; });
  }
}

}  // namespace zor

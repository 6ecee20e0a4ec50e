// The bytes a set of caches may hold together.
#pragma once

#include <cstddef>

namespace zor::win {

class CacheBudget {
 public:
  explicit constexpr CacheBudget(std::size_t limit) noexcept : limit_(limit) {}
  // Counts bytes about to be kept; true when they do not fit beside what is
  // counted already: the caches must then let everything go, and the count
  // starts again from these bytes.
  [[nodiscard]] bool ChargeOrEmpty(std::size_t bytes) noexcept {
    const bool overflow = used_ + bytes > limit_;
    if (overflow) used_ = 0;
    used_ += bytes;
    return overflow;
  }
  // Counts bytes already kept; a later charge sees them.
  void Charge(std::size_t bytes) noexcept { used_ += bytes; }
  [[nodiscard]] std::size_t Used() const noexcept { return used_; }

 private:
  std::size_t limit_;
  std::size_t used_ = 0;
};

}  // namespace zor::win

// A settings store whose writes of the keys named fail, for the tests of
// what a dialog's save does when one key cannot be written.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "core/data/settings.h"

namespace zor::testing {

class PickyStore final : public ProfileStore {
 public:
  explicit PickyStore(std::set<std::wstring> failing) : failing_(std::move(failing)) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return inner_.Read(section, key);
  }
  Status Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
    if (failing_.contains(std::wstring(key))) return Status::Fail(FileError::kWrite, L"no " + std::wstring(key));
    return inner_.Write(section, key, value);
  }

 private:
  std::set<std::wstring> failing_;
  MemoryProfileStore inner_;
};

}  // namespace zor::testing

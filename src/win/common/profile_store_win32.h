// The settings store on the Win32 profile API. Values travel as CP932 bytes
// whatever the system's code page: the conversion is made here, explicitly.
#pragma once

#include <filesystem>

#include "core/data/settings.h"

namespace zor::win {

class Win32ProfileStore final : public ProfileStore {
 public:
  explicit Win32ProfileStore(std::filesystem::path file) : file_(std::move(file)) {}
  [[nodiscard]] std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override;
  [[nodiscard]] Status Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;

 private:
  std::filesystem::path file_;
};

}  // namespace zor::win

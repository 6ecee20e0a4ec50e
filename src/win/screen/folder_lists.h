// The file lists of picture folders.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "core/screen/background.h"

namespace zor::win {

// The file lists of picture folders, each listing kept until the folder's
// last-write time changes.
class FolderLists final : public PictureFolders {
 public:
  [[nodiscard]] bool FolderExists(const std::wstring& path) override;
  [[nodiscard]] bool FileExists(const std::wstring& path) override;
  [[nodiscard]] const std::vector<std::wstring>& Files(const std::wstring& folder) override;
  // How many times a folder was read (tests).
  [[nodiscard]] int Listings() const noexcept { return listings_; }

 private:
  struct Listing {
    FILETIME written{};
    std::vector<std::wstring> names;
  };
  std::map<std::wstring, Listing> lists_;
  std::vector<std::wstring> none_;
  int listings_ = 0;
};

// The extensions (lower case, no dot) of every picture decoder installed in
// the system beyond kPictureExtensions, asked once.
[[nodiscard]] const std::vector<std::wstring>& SystemPictureExtensions();

// The picture file names of a folder in the file list's order; empty when
// the folder cannot be read.
[[nodiscard]] std::vector<std::wstring> ListPictureFiles(const std::wstring& folder);

}  // namespace zor::win

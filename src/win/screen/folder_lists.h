// The file lists of picture folders.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/screen/background.h"
#include "win/screen/picture_worker.h"

namespace zor::win {

// The file lists of picture folders, each listing kept until the folder's
// last-write time changes. With a waiter, the file system is asked on a
// thread of work: a folder that does not answer within the limit counts as
// it last answered (never seen: missing, no files), and is not waited for
// again while that read runs.
class FolderLists final : public PictureFolders {
 public:
  void SetWaiter(WorkWaiter* waiter, DWORD limitMs) noexcept {
    waiter_ = waiter;
    limitMs_ = limitMs;
  }
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
  // What a thread of work found of a folder: whether it is one, its
  // last-write time, and its names when they were read (the time changed).
  struct FolderState {
    bool folder = false;
    FILETIME written{};
    std::optional<std::vector<std::wstring>> names;
  };
  // Runs ask(wanted) by the waiter; nullopt when it did not answer in time.
  template <class T, class F>
  [[nodiscard]] std::optional<T> Ask(const std::wstring& what, F&& ask);
  std::map<std::wstring, Listing> lists_;
  // Answers last given for paths (existence), kept for those that go quiet.
  std::map<std::wstring, bool> exists_;
  // Reads that ran out of time, by path, until they end.
  std::map<std::wstring, std::shared_ptr<void>> slow_;
  std::vector<std::wstring> none_;
  int listings_ = 0;
  WorkWaiter* waiter_ = nullptr;
  DWORD limitMs_ = INFINITE;
};

// The extensions (lower case, no dot) of every picture decoder installed in
// the system beyond kPictureExtensions, asked once.
[[nodiscard]] const std::vector<std::wstring>& SystemPictureExtensions();

// The picture file names of a folder in the file list's order; empty when
// the folder cannot be read.
[[nodiscard]] std::vector<std::wstring> ListPictureFiles(const std::wstring& folder);

}  // namespace zor::win

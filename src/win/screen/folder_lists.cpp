#include "win/screen/folder_lists.h"

#include <wincodec.h>

#include <algorithm>

#include "win/common/com.h"

namespace zor::win {

namespace {

std::vector<std::wstring> DecoderExtensions() {
  std::vector<std::wstring> found;
  const ComScope com;  // a thread with COM already keeps it as it is
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IEnumUnknown> decoders;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.put()))) ||
      FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, decoders.put()))) {
    return found;
  }
  for (;;) {
    ComPtr<IUnknown> item;
    ULONG fetched = 0;
    if (decoders->Next(1, item.put(), &fetched) != S_OK || fetched != 1) break;
    ComPtr<IWICBitmapCodecInfo> codec;
    if (FAILED(item->QueryInterface(IID_IWICBitmapCodecInfo, reinterpret_cast<void**>(codec.put())))) continue;
    UINT length = 0;
    if (FAILED(codec->GetFileExtensions(0, nullptr, &length)) || length == 0 || length > 4096) continue;
    std::wstring list(length, L'\0');
    if (FAILED(codec->GetFileExtensions(length, list.data(), &length))) continue;
    list.resize(wcsnlen(list.c_str(), list.size()));
    for (std::wstring& e : ExtensionsOfList(list)) {
      const bool base = std::find(kPictureExtensions.begin(), kPictureExtensions.end(), e) != kPictureExtensions.end();
      if (!base && std::find(found.begin(), found.end(), e) == found.end()) found.push_back(std::move(e));
    }
  }
  return found;
}

}  // namespace

const std::vector<std::wstring>& SystemPictureExtensions() {
  static const std::vector<std::wstring> extensions = DecoderExtensions();
  return extensions;
}

std::vector<std::wstring> ListPictureFiles(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const std::wstring pattern = JoinFolderFile(folder, L"*");
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    // The file list shows plain files: no folders, hidden or system files.
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    if (IsPictureFileName(data.cFileName, SystemPictureExtensions())) names.emplace_back(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  // By name as a sorted list box orders them: case-insensitive, in the user's locale.
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                           b.c_str(), static_cast<int>(b.size()), nullptr, nullptr, 0) == CSTR_LESS_THAN;
  });
  return names;
}

namespace {

bool IsFolder(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

template <class T, class F>
std::optional<T> FolderLists::Ask(const std::wstring& what, F&& ask) {
  if (!waiter_) {
    const std::atomic<bool> wanted{true};
    return ask(wanted);
  }
  const auto slow = slow_.find(what);
  if (slow != slow_.end()) {
    auto* work = static_cast<Work<T>*>(slow->second.get());
    if (!work->Ended()) return std::nullopt;
    slow_.erase(slow);  // it answered at last: asked afresh below
  }
  auto work = StartWork(std::forward<F>(ask));
  if (!work) return std::nullopt;
  if (!work->Ended() && !waiter_->WaitFor(work->Done(), limitMs_) && !work->Ended()) {
    slow_[what] = work;
    return std::nullopt;
  }
  return std::move(work->Result());
}

bool FolderLists::FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  const std::optional<bool> answer = Ask<bool>(path, [path](const std::atomic<bool>&) { return IsFolder(path); });
  if (!answer) return exists_.contains(path) && exists_[path];
  if (exists_.size() > 16) exists_.clear();
  exists_[path] = *answer;
  return *answer;
}

bool FolderLists::FileExists(const std::wstring& path) {
  const std::optional<bool> answer =
      Ask<bool>(path, [path](const std::atomic<bool>&) { return zor::FileExists(std::filesystem::path(path)); });
  if (!answer) return exists_.contains(path) && exists_[path];
  if (exists_.size() > 16) exists_.clear();
  exists_[path] = *answer;
  return *answer;
}

const std::vector<std::wstring>& FolderLists::Files(const std::wstring& folder) {
  const auto it = lists_.find(folder);
  const std::optional<FILETIME> known = it != lists_.end() ? std::optional(it->second.written) : std::nullopt;
  const std::optional<FolderState> state =
      Ask<FolderState>(L"\n" + folder, [folder, known](const std::atomic<bool>&) {
        FolderState found;
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (!GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &info) ||
            !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          return found;
        }
        found.folder = true;
        found.written = info.ftLastWriteTime;
        // Adding, removing or renaming a file changes the folder's last-write time.
        if (!known || CompareFileTime(&*known, &info.ftLastWriteTime) != 0) found.names = ListPictureFiles(folder);
        return found;
      });
  // A folder that does not answer keeps the list it last had. (Messages
  // answered during the wait touch no list, but it is looked up again.)
  const auto kept = lists_.find(folder);
  if (!state) return kept != lists_.end() ? kept->second.names : none_;
  if (!state->folder) {
    lists_.erase(folder);
    return none_;
  }
  if (!state->names && kept != lists_.end()) return kept->second.names;
  Listing listing;
  listing.written = state->written;
  if (state->names) listing.names = std::move(*state->names);
  ++listings_;
  if (lists_.size() > 8) lists_.clear();
  return lists_.insert_or_assign(folder, std::move(listing)).first->second.names;
}

}  // namespace zor::win

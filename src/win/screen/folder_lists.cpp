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

bool FolderLists::FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FolderLists::FileExists(const std::wstring& path) { return zor::FileExists(std::filesystem::path(path)); }

const std::vector<std::wstring>& FolderLists::Files(const std::wstring& folder) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    lists_.erase(folder);
    return none_;
  }
  // Adding, removing or renaming a file changes the folder's last-write time.
  auto it = lists_.find(folder);
  if (it != lists_.end() && CompareFileTime(&it->second.written, &info.ftLastWriteTime) == 0) {
    return it->second.names;
  }
  Listing listing;
  listing.written = info.ftLastWriteTime;
  listing.names = ListPictureFiles(folder);
  ++listings_;
  if (lists_.size() > 8) lists_.clear();
  return lists_.insert_or_assign(folder, std::move(listing)).first->second.names;
}

}  // namespace zor::win

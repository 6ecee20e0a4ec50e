#include "win/options/picture_folder_chooser.h"

#include <algorithm>
#include <cwctype>

#include "core/screen/background.h"
#include "win/common/system.h"
#include "win/screen/folder_lists.h"
#include "win/options/picture_folder_chooser_ids.h"

namespace zor::win {

namespace {

constexpr wchar_t kParentRow[] = L"..";

std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring result = n && text ? std::wstring(text, n) : L"エラー " + std::to_wstring(error);
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r')) result.pop_back();
  return result;
}

bool IsFolder(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder without trailing separators, except a drive root's ("C:\").
std::wstring Normalised(std::wstring folder) {
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  return folder;
}

bool IsRoot(const std::wstring& folder) { return !std::filesystem::path(folder).has_relative_path(); }

std::wstring ParentOf(const std::wstring& folder) {
  return Normalised(std::filesystem::path(folder).parent_path().wstring());
}

bool LessByName(const std::wstring& a, const std::wstring& b) {
  return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                         static_cast<int>(b.size()), nullptr, nullptr, 0) == CSTR_LESS_THAN;
}

// The subfolders of folder by name; false with the error when it cannot be read.
bool ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& names, DWORD& error) {
  names.clear();
  WIN32_FIND_DATAW data;
  const std::wstring pattern = JoinFolderFile(folder, L"*");
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchLimitToDirectories, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    // An empty drive root lists nothing, and that is no error.
    return error == ERROR_FILE_NOT_FOUND && IsFolder(folder);
  }
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    names.emplace_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end(), LessByName);
  return true;
}

// Fills a list box with many rows at once: no repaint per row, storage
// reserved ahead.
void FillList(HWND list, const std::vector<std::wstring>& rows, const wchar_t* first = nullptr) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  std::size_t chars = 0;
  for (const std::wstring& r : rows) chars += r.size() + 1;
  SendMessageW(list, LB_INITSTORAGE, rows.size() + 1, static_cast<LPARAM>(chars * sizeof(wchar_t)));
  if (first) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(first));
  for (const std::wstring& r : rows) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.c_str()));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

PictureFolderChooser::PictureFolderChooser(DialogServices& services, ProfileStore& store, const std::filesystem::path& programFolder,
               ChooserMode mode)
    : ModelDialog(IDD_PICTURE_FOLDER_CHOOSER),
      services_(services),
      store_(store),
      model_(mode, LoadSettings(store, programFolder), Normalised(programFolder.wstring())) {}

bool PictureFolderChooser::OnInit() {
  FillDrives();
  DWORD error = 0;
  const std::wstring start = Normalised(model_.StartFolder(IsFolder));
  if (!MoveTo(start, error)) {
    // Neither the stored folder nor the program folder can be listed: the lists stay empty.
    model_.FolderListed(start, 0);
  }
  if (const std::optional<std::size_t> row = model_.StoredFileRow(folder_, files_)) {
    SendMessageW(Item(IDC_FILE_LIST), LB_SETCURSEL, *row, 0);
    model_.SelectFile(files_[*row]);
    ShowPreview();
  }
  ShowModel();
  CentreOnScreen();
  return true;
}

void PictureFolderChooser::ShowModel() {
  const ChooserView& view = model_.View();
  SetWindowTextW(hwnd(), view.caption.c_str());
  ShowItem(IDC_CHOOSE_FILE, view.checkVisible);
  SetChecked(IDC_CHOOSE_FILE, view.checked);
  EnableItem(IDC_OPEN_VIEWER, view.viewerEnabled);
  if (!view.selected) SendMessageW(Item(IDC_FILE_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void PictureFolderChooser::FillDrives() {
  drives_.clear();
  wchar_t buffer[512] = {};
  const DWORD n = GetLogicalDriveStringsW(511, buffer);
  for (const wchar_t* p = buffer; n && n < 512 && *p; p += wcslen(p) + 1) drives_.emplace_back(p);
  HWND combo = Item(IDC_DRIVE_LIST);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& d : drives_) {
    const std::wstring row = d.substr(0, 2);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
}

bool PictureFolderChooser::MoveTo(const std::wstring& target, DWORD& error) {
  // DlgDirList would do the listing too, but it changes the process's
  // current folder and takes one pattern only; the lists are filled here.
  const std::wstring folder = Normalised(target);
  std::vector<std::wstring> names;
  {
    WaitCursor wait;
    if (!ListSubfolders(folder, names, error)) return false;
  }
  folder_ = folder;
  subfolders_ = std::move(names);
  hasParent_ = !IsRoot(folder_);
  FillList(Item(IDC_FOLDER_LIST), subfolders_, hasParent_ ? kParentRow : nullptr);
  SetItemText(IDC_FOLDER_PATH, folder_);
  int drive = -1;
  for (std::size_t i = 0; i < drives_.size(); ++i) {
    if (folder_.size() >= 2 && folder_[1] == L':' && std::towupper(folder_[0]) == std::towupper(drives_[i][0])) {
      drive = static_cast<int>(i);
    }
  }
  SendMessageW(Item(IDC_DRIVE_LIST), CB_SETCURSEL, static_cast<WPARAM>(drive), 0);
  ListFiles();
  return true;
}

void PictureFolderChooser::ListFiles() {
  {
    // A folder of thousands of pictures takes a moment: the hourglass shows.
    WaitCursor wait;
    files_ = ListPictureFiles(folder_);
    FillList(Item(IDC_FILE_LIST), files_);
  }
  model_.FolderListed(folder_, files_.size());
  preview_.Clear();
  InvalidateRect(Item(IDC_PICTURE_PREVIEW), nullptr, TRUE);
}

void PictureFolderChooser::DriveChanged() {
  const auto row = static_cast<int>(SendMessageW(Item(IDC_DRIVE_LIST), CB_GETCURSEL, 0, 0));
  if (row < 0 || static_cast<std::size_t>(row) >= drives_.size()) return;
  const std::wstring& root = drives_[static_cast<std::size_t>(row)];
  if (folder_.size() >= 2 && std::towupper(folder_[0]) == std::towupper(root[0]) && folder_[1] == L':') return;
  DWORD error = 0;
  if (!MoveTo(root, error)) {
    services_.Message(hwnd(), SystemErrorText(error), MB_OK | MB_ICONERROR, kTitle);
    // The drive list goes back to the folder list's drive.
    int drive = -1;
    for (std::size_t i = 0; i < drives_.size(); ++i) {
      if (!folder_.empty() && std::towupper(folder_[0]) == std::towupper(drives_[i][0])) drive = static_cast<int>(i);
    }
    SendMessageW(Item(IDC_DRIVE_LIST), CB_SETCURSEL, static_cast<WPARAM>(drive), 0);
  }
}

void PictureFolderChooser::FolderOpened(int row) {
  if (row < 0) return;
  std::wstring target;
  if (hasParent_ && row == 0) {
    target = ParentOf(folder_);
  } else {
    const auto i = static_cast<std::size_t>(row - (hasParent_ ? 1 : 0));
    if (i >= subfolders_.size()) return;
    target = JoinFolderFile(folder_, subfolders_[i]);
  }
  DWORD error = 0;
  if (!MoveTo(target, error)) services_.Message(hwnd(), SystemErrorText(error), MB_OK | MB_ICONERROR, kTitle);
}

void PictureFolderChooser::FileClicked() {
  const auto row = static_cast<int>(SendMessageW(Item(IDC_FILE_LIST), LB_GETCURSEL, 0, 0));
  if (row >= 0 && static_cast<std::size_t>(row) < files_.size()) {
    model_.SelectFile(files_[static_cast<std::size_t>(row)]);
  } else {
    model_.SelectFile(std::nullopt);
  }
  ShowPreview();
}

namespace {
// Posted by the preview's decode when it ends.
constexpr UINT kPreviewRead = WM_APP + 1;
}  // namespace

void PictureFolderChooser::ShowPreview() {
  preview_.Clear();
  const std::wstring path = model_.SelectedPath();
  if (!path.empty()) {
    RECT r{};
    GetClientRect(Item(IDC_PICTURE_PREVIEW), &r);
    // Read on a thread of work, the preview empty meanwhile; a broken
    // picture simply shows no preview, the viewer tells why.
    preview_.Start(path, {r.right - r.left, r.bottom - r.top}, hwnd(), kPreviewRead);
  }
  InvalidateRect(Item(IDC_PICTURE_PREVIEW), nullptr, TRUE);
}

void PictureFolderChooser::ShowViewer() {
  const std::wstring path = model_.SelectedPath();
  if (path.empty()) return;
  (void)ShowPictureViewer(services_, hwnd(), path);
}

void PictureFolderChooser::Confirm() {
  const ChooserOutcome outcome = model_.Confirm(store_);
  if (!outcome.warning.empty()) services_.Warn(hwnd(), outcome.warning);
  if (outcome.close) End(IDOK);
}

bool PictureFolderChooser::ToModel(int id, int code) {
  switch (id) {
    case IDC_DRIVE_LIST:
      if (code == CBN_SELCHANGE) DriveChanged();
      return true;
    case IDC_FOLDER_LIST:
      if (code == LBN_DBLCLK) FolderOpened(static_cast<int>(SendMessageW(Item(IDC_FOLDER_LIST), LB_GETCURSEL, 0, 0)));
      return true;
    case IDC_FILE_LIST:
      if (code == LBN_SELCHANGE) FileClicked();
      return true;
    case IDC_CHOOSE_FILE:
      if (code == BN_CLICKED) {
        model_.SetChecked(Checked(IDC_CHOOSE_FILE));
        if (!model_.View().selected) ShowPreview();
      }
      return true;
    case IDC_OPEN_VIEWER:
      if (code == BN_CLICKED) ShowViewer();
      return true;
    default:
      return false;
  }
}

bool PictureFolderChooser::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg == kPreviewRead) {
    // A decode abandoned since (another file chosen) posts too: Take waits for the one running.
    if (preview_.Take() != PictureLoad::kNotReady) InvalidateRect(Item(IDC_PICTURE_PREVIEW), nullptr, TRUE);
    *result = 0;
    return true;
  }
  if (msg != WM_DRAWITEM) return false;
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  if (item.CtlID != IDC_PICTURE_PREVIEW) return false;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  preview_.Paint(item.hDC, item.rcItem);
  *result = TRUE;
  return true;
}

std::optional<PictureSources> RunPictureFolderChooser(DialogServices& services, HWND owner, ProfileStore& store,
                                                      const std::filesystem::path& programFolder, ChooserMode mode) {
  PictureFolderChooser chooser(services, store, programFolder, mode);
  services.RunDialog(chooser, owner);
  return chooser.Written();
}

}  // namespace zor::win

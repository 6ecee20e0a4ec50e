#include "win/settings_dialog/config_form.h"

#include <commctrl.h>
#include <commdlg.h>

#include <utility>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/settings_schema.h"
#include "core/data/text_exchange.h"
#include "core/text/cp932.h"
#include "core/options/folder_chooser.h"
#include "core/screen/sequencer.h"
#include "core/text/measures.h"
#include "win/common/profile_store_win32.h"
#include "win/options/about.h"
#include "win/options/op_form.h"
#include "win/options/opt2.h"
#include "win/options/opt2b.h"
#include "win/options/opt2c.h"
#include "win/settings_dialog/config_form_ids.h"
#include "win/settings_dialog/drawings.h"
#include "win/settings_dialog/inp_form.h"
#include "win/settings_dialog/scaler.h"
#include "win/settings_dialog/thumbnails.h"

namespace zor::win {

namespace {

constexpr UINT_PTR kThumbnailTimer = 1;
// Thumbnails are drawn once the selection has settled (a drag or the arrow
// keys pass many rows).
constexpr UINT kThumbnailDelayMs = 60;

constexpr int kRowButtons[] = {IDC_Command1, IDC_Command5, IDC_Command6, IDC_Command7,
                               IDC_Command8, IDC_Command3, IDC_Command9};

// A file dialog filter: names and patterns, each ended by a NUL, and one more NUL.
std::wstring Filter(std::initializer_list<std::wstring_view> parts) {
  std::wstring f;
  for (std::wstring_view p : parts) {
    f += p;
    f += L'\0';
  }
  f += L'\0';
  return f;
}

const std::wstring kRegistrationFilter = Filter({L"ZORANTE(*.zrd)", L"*.zrd"});
const std::wstring kTextFilter = Filter({L"テキストファイル(*.txt)", L"*.txt", L"すべてのファイル(*.*)", L"*.*"});

UINT DragListMessage() {
  static const UINT message = RegisterWindowMessageW(DRAGLISTMSGSTRING);
  return message;
}

}  // namespace

ConfigForm::ConfigForm(DialogServices& services, std::filesystem::path programFolder)
    : Dialog(IDD_ConfigForm), services_(services), programFolder_(std::move(programFolder)) {}

ConfigForm::~ConfigForm() {
  if (dragCursor_) DestroyCursor(dragCursor_);
}

HBITMAP ConfigForm::Thumbnail(int index) const noexcept {
  return index >= 0 && index < kThumbnailCount ? thumbnails_[static_cast<std::size_t>(index)].get() : nullptr;
}

bool ConfigForm::OnInit() {
  SetItemText(IDC_Label1, L"レイアウト\r\nプレビュー");
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (icon) {
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  MakeTooltips();
  dragCursor_ = CreateDragCursor();
  for (int i = 0; i < kThumbnailCount; ++i) {
    SetWindowSubclass(Item(IDC_Image1 + i), &ConfigForm::ThumbnailProc, static_cast<UINT_PTR>(i),
                      reinterpret_cast<DWORD_PTR>(this));
  }
  CentreOnScreen();
  LoadStep();
  // After the first fill: each list message through the drag list's subclass
  // costs more (under Wine a server round trip).
  MakeDragList(Item(IDC_List1));
  return true;
}

void ConfigForm::LoadStep() {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  settings_ = LoadSettings(store, programFolder_);
  const LoadOutcome outcome = editor_.Load(PathFromText(settings_.loadFileName));
  switch (outcome.kind) {
    case LoadOutcome::kLoaded:
      break;
    case LoadOutcome::kRefused:
      services_.Warn(hwnd(), outcome.message);
      WriteLoadFileName(L"");
      break;
    case LoadOutcome::kMissing:
      services_.Warn(hwnd(), outcome.message);
      editor_.SetNoFile();
      Apply();
      OpenRegistrationFile(true);
      break;
  }
  Apply();
}

void ConfigForm::WriteLoadFileName(const std::wstring& path) {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  const Status s = SaveSetting(store, SettingKey::kLoadFileName, path);
  if (!s.ok()) services_.Warn(hwnd(), s.message());
  settings_.loadFileName = path;
}

void ConfigForm::OpenRegistrationFile(bool atLoad) {
  FileDialogRequest request;
  request.title = L"登録ファイルを開く";
  request.filter = kRegistrationFilter;
  request.initialName = editor_.Path().empty() ? std::wstring() : PathText(editor_.Path());
  request.flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_LONGNAMES;
  request.defaultExtension = L"zrd";
  // A cancelled dialog gives back the initial name: the file in use is read again.
  const FileDialogAnswer answer = services_.AskFile(hwnd(), request);
  const std::wstring name = answer.path;
  if (name.empty()) {
    if (atLoad) {
      editor_.SetNoFile();
      WriteLoadFileName(L"");
    }
    return;
  }
  if (!StorablePath(name)) {
    if (atLoad) {
      editor_.SetNoFile();
      WriteLoadFileName(L"");
    }
    return;
  }
  WaitCursor wait;
  const std::filesystem::path path = PathFromText(name);
  if (FileExists(path)) {
    const Result<RegistrationHeader> header = ValidateRegistrationFile(path, OpenedBy::kOpenCommand);
    if (!header.ok()) {
      services_.Warn(hwnd(), header.status().message());
      if (atLoad) {
        editor_.SetNoFile();
        WriteLoadFileName(L"");
      }
      return;
    }
  } else if (const Status created = CreateEmptyRegistrationFile(path); !created.ok()) {
    services_.Warn(hwnd(), created.message());
    return;
  }
  const Status used = editor_.UseFile(path);
  if (!used.ok()) {
    services_.Warn(hwnd(), used.message());
    return;
  }
  WriteLoadFileName(name);
}

bool ConfigForm::StorablePath(const std::wstring& path) {
  const PathStorability storable = zor::StorablePath(path);
  if (storable == PathStorability::kStorable) return true;
  services_.Warn(hwnd(), storable == PathStorability::kOutsideCp932
                             ? path + L"\r\nこのファイル名には Shift-JIS で表せない文字があるため、設定ファイルに記録できません。別の名前を指定してください。"
                             : UnstorablePathReason(path));
  return false;
}

void ConfigForm::CommonDialogError(DWORD error) {
  if (error != 0) services_.Message(hwnd(), L"コモンダイアログエラー " + std::to_wstring(error), MB_OK | MB_ICONWARNING, L"");
}

void ConfigForm::NewRegistrationFile() {
  const Result<std::filesystem::path> untitled = NewUntitledName(programFolder_);
  FileDialogRequest request;
  request.save = true;
  request.title = L"新規登録ファイル";
  request.filter = kRegistrationFilter;
  request.initialName = untitled.ok() ? PathText(untitled.value()) : std::wstring();
  request.flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_LONGNAMES;
  request.defaultExtension = L"zrd";
  const FileDialogAnswer answer = services_.AskFile(hwnd(), request);
  if (!answer.chosen) {
    CommonDialogError(answer.error);
    return;
  }
  std::wstring name = answer.path;
  if (name.empty()) {
    const Result<std::filesystem::path> fresh = NewUntitledName(programFolder_);
    if (!fresh.ok()) {
      services_.Warn(hwnd(), fresh.status().message());
      return;
    }
    name = PathText(fresh.value());
  }
  if (!StorablePath(name)) return;
  WaitCursor wait;
  if (const Status created = CreateEmptyRegistrationFile(PathFromText(name)); !created.ok()) {
    services_.Warn(hwnd(), created.message());  // the file in use stays
    return;
  }
  if (const Status used = editor_.UseFile(PathFromText(name)); !used.ok()) {
    services_.Warn(hwnd(), used.message());
    return;
  }
  WriteLoadFileName(name);
}

void ConfigForm::RenameRegistrationFile() {
  if (!editor_.HasFile()) return;
  const std::wstring current = PathText(editor_.Path());
  FileDialogRequest request;
  request.save = true;
  request.title = L"登録ファイル名の変更";
  request.filter = kRegistrationFilter;
  request.initialName = current;
  request.flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_LONGNAMES;
  request.defaultExtension = L"zrd";
  // A cancelled dialog gives the current name back: nothing happens.
  const std::wstring name = services_.AskFile(hwnd(), request).path;
  if (name.empty() || LowerCase(name) == LowerCase(current)) return;
  if (!StorablePath(name)) return;
  WaitCursor wait;
  // The file takes its new name in one step, replacing a file of that name
  // only when the move succeeds: a failure loses neither file.
  const Result<RenameOutcome> renamed = zor::RenameRegistrationFile(editor_.Path(), PathFromText(name));
  if (!renamed.ok()) {
    services_.Warn(hwnd(), renamed.status().message());
    return;
  }
  if (renamed.value() == RenameOutcome::kUnchanged) return;
  if (const Status used = editor_.UseFile(PathFromText(name)); !used.ok()) services_.Warn(hwnd(), used.message());
  WriteLoadFileName(editor_.HasFile() ? name : std::wstring());
}

void ConfigForm::ImportText() {
  FileDialogRequest request;
  request.title = L"インポート";
  request.filter = kTextFilter;
  request.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_LONGNAMES;
  const FileDialogAnswer answer = services_.AskFile(hwnd(), request);
  if (!answer.chosen) {
    CommonDialogError(answer.error);
    return;
  }
  if (answer.path.empty()) return;
  const std::filesystem::path text = PathFromText(answer.path);
  if (!FileExists(text)) {
    services_.Warn(hwnd(), L"指定のファイルは存在しません");
    return;
  }
  Result<std::filesystem::path> target = ImportTargetFor(text);
  if (!target.ok()) {
    services_.Warn(hwnd(), target.status().message());
    return;
  }
  if (!StorablePath(PathText(target.value()))) return;
  WaitCursor wait;
  const Result<int> imported = ImportInto(target.value(), text, settings_.importLimit != 0);
  if (!imported.ok()) {
    services_.Warn(hwnd(), imported.status().message());  // the file in use stays
    return;
  }
  if (const Status used = editor_.UseFile(target.value()); !used.ok()) {
    services_.Warn(hwnd(), used.message());
    return;
  }
  WriteLoadFileName(PathText(target.value()));
}

void ConfigForm::ExportText() {
  FileDialogRequest request;
  request.save = true;
  request.title = L"エクスポート";
  request.filter = kTextFilter;
  request.initialName = editor_.HasFile() ? PathText(ExportNameFor(editor_.Path())) : std::wstring();
  request.flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_LONGNAMES;
  request.defaultExtension = L"txt";
  const FileDialogAnswer answer = services_.AskFile(hwnd(), request);
  if (!answer.chosen) {
    CommonDialogError(answer.error);
    return;
  }
  if (answer.path.empty()) return;
  if (!editor_.HasFile() || !FileExists(editor_.Path())) {
    services_.Warn(hwnd(), L"エクスポート中にエラーが発生しました");
    return;
  }
  Status exported;
  {
    WaitCursor wait;
    exported = Export(PathFromText(answer.path), editor_.Path());
  }
  if (!exported.ok()) {
    services_.Warn(hwnd(), L"エクスポート中にエラーが発生しました\r\n" + exported.message());
    return;
  }
  services_.Message(hwnd(), answer.path + L" にエクスポート完了しました", MB_OK | MB_ICONINFORMATION, L"ZORANTE");
}

void ConfigForm::DisplayOptions() {
  if (!editor_.HasFile()) return;
  OpForm options(editor_, Trim(PathText(editor_.Path().filename())) + L" のオプション");
  services_.RunDialog(options, hwnd());
  if (!options.Outcome().ok()) services_.Warn(hwnd(), options.Outcome().message());
  if (editor_.View().thumbnailsVisible) ScheduleThumbnails();  // the emphasis may have changed
}

void ConfigForm::FontOptions() {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  Opt2B options(services_, store);
  services_.RunDialog(options, hwnd());
  // The face and the decoration show in the thumbnails.
  settings_ = LoadSettings(store, programFolder_);
  if (editor_.View().thumbnailsVisible) ScheduleThumbnails();
}

void ConfigForm::ImageOptions() {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  Opt2 options(services_, store, programFolder_);
  services_.RunDialog(options, hwnd());
  settings_ = LoadSettings(store, programFolder_);
}

void ConfigForm::ImportOption() {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  Opt2C option(services_, store, settings_.importLimit);
  services_.RunDialog(option, hwnd());
  settings_.importLimit = option.ImportLimit();
}

void ConfigForm::Apply() {
  const EditorView view = editor_.View();
  FillList();
  const int current = static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_List1, LB_GETCURSEL, 0, 0));
  if (current != view.selected) SendDlgItemMessageW(hwnd(), IDC_List1, LB_SETCURSEL, static_cast<WPARAM>(view.selected), 0);

  EnableItem(IDC_Command2, view.addEnabled);
  for (int id : kRowButtons) EnableItem(id, view.rowButtonsEnabled);
  SetItemText(IDC_Text1, view.text1);
  EnableItem(IDC_Text1, view.text1Enabled);
  SetItemText(IDC_Label3, view.countLabel);
  SetItemText(IDC_Label4, view.fileLabel);
  if (((GetWindowLongPtrW(Item(IDC_Image1), GWL_STYLE) & WS_VISIBLE) != 0) != view.thumbnailsVisible) {
    // Seven controls shown or hidden at once: one repaint of their strip.
    HDWP moves = BeginDeferWindowPos(kThumbnailCount + 1);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                       (view.thumbnailsVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    for (int i = -1; i < kThumbnailCount && moves; ++i) {
      moves = DeferWindowPos(moves, Item(i < 0 ? IDC_Label1 : IDC_Image1 + i), nullptr, 0, 0, 0, 0, flags);
    }
    if (moves) EndDeferWindowPos(moves);
  }

  HMENU menu = GetMenu(hwnd());
  const auto enable = [menu](int id, bool on) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  enable(IDM_Mn2_N, true);
  enable(IDM_Mn2_K, true);
  enable(IDM_Mn2_I, true);
  enable(IDM_Mn2_e, true);
  enable(IDM_Mn2_h, view.renameEnabled);
  enable(IDM_Mn_o, view.optionsEnabled);
  enable(IDM_Mn_Opt2a, true);
  enable(IDM_Mn_Opt2b, true);
  enable(IDM_Mn_opt2c, true);
  enable(IDM_Mn2_C, true);
  enable(IDM_Mn2_A, true);
  DrawMenuBar(hwnd());

  if (view.thumbnailsVisible) {
    ScheduleThumbnails();
  } else {
    for (UniqueBitmap& b : thumbnails_) b.reset();
  }
}

void ConfigForm::FillList() {
  const std::vector<std::wstring>& rows = editor_.Rows();
  if (rows == listed_) return;
  HWND list = Item(IDC_List1);
  // Only the rows that differ are replaced: a move or a delete touches a few
  // rows, and each list message costs more through the drag list's subclass.
  std::size_t head = 0;
  while (head < rows.size() && head < listed_.size() && rows[head] == listed_[head]) ++head;
  std::size_t tail = 0;
  while (tail < rows.size() - head && tail < listed_.size() - head &&
         rows[rows.size() - 1 - tail] == listed_[listed_.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t removed = listed_.size() - head - tail;
  const std::size_t added = rows.size() - head - tail;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  if (head == 0 && tail == 0) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::size_t chars = 0;
    for (const std::wstring& r : rows) chars += r.size() + 1;
    SendMessageW(list, LB_INITSTORAGE, rows.size(), chars * sizeof(wchar_t));
  } else {
    for (std::size_t i = 0; i < removed; ++i) SendMessageW(list, LB_DELETESTRING, head, 0);
  }
  for (std::size_t i = 0; i < added; ++i) {
    SendMessageW(list, LB_INSERTSTRING, head + i, reinterpret_cast<LPARAM>(rows[head + i].c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  listed_ = rows;
}

void ConfigForm::SelectionChanged() {
  const int row = static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_List1, LB_GETCURSEL, 0, 0));
  editor_.Select(row == LB_ERR ? -1 : row);
  Apply();
}

void ConfigForm::Report(const Status& status) {
  if (!status.ok()) services_.Warn(hwnd(), status.message());
  Apply();
}

void ConfigForm::Add() {
  if (!editor_.View().addEnabled) return;
  InpForm entry(editor_, -1);
  services_.RunDialog(entry, hwnd());
  if (!entry.Outcome().ok()) services_.Warn(hwnd(), entry.Outcome().message());
  Apply();
  SetFocus(Item(IDC_List1));
}

void ConfigForm::Correct() {
  const int row = editor_.View().selected;
  if (row < 0) return;
  InpForm entry(editor_, row);
  services_.RunDialog(entry, hwnd());
  if (!entry.Outcome().ok()) services_.Warn(hwnd(), entry.Outcome().message());
  Apply();
  SetFocus(Item(IDC_List1));
}

void ConfigForm::Delete() {
  if (editor_.View().selected < 0) return;
  Status s;
  {
    WaitCursor wait;
    s = editor_.Delete();
  }
  Report(s);
  SetFocus(Item(IDC_List1));
}

void ConfigForm::Format() {
  if (editor_.View().selected < 0) return;
  Result<Message> message = editor_.SelectedMessage();
  if (!message.ok()) {
    Report(message.status());
    return;
  }
  Scaler scaler(editor_, message.value());
  services_.RunDialog(scaler, hwnd());
  if (!scaler.Outcome().ok()) services_.Warn(hwnd(), scaler.Outcome().message());
  Apply();
}

void ConfigForm::Move(MoveKind kind) {
  if (editor_.View().selected < 0) return;
  Status s;
  {
    WaitCursor wait;
    s = editor_.Move(kind);
  }
  Report(s);
}

void ConfigForm::DragRows(int fromRow, int toRow) {
  if (fromRow < 0 || fromRow == toRow) return;
  Status s;
  {
    WaitCursor wait;
    s = editor_.Drag(fromRow, toRow);
  }
  Report(s);
}

void ConfigForm::ThumbnailClicked(int index, bool rightButton) {
  if (editor_.View().state != EditorState::kRowSelected) return;
  TestDisplayRequest request;
  {
    WaitCursor wait;
    Result<Message> message = editor_.SelectedMessage();
    if (!message.ok()) {
      Report(message.status());
      return;
    }
    request.text = Trim(message.value().text);
    // The thumbnail chooses the layout: the stored fixed layout is not read.
    MessageFormat format = message.value().format;
    format.layout = ' ';
    request.format = FormatOfRecord(format);
    request.layout = index;
    request.hideCredit = rightButton;
  }
  services_.TestDisplay(hwnd(), request);
}

void ConfigForm::MakeTooltips() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) return;
  const std::pair<int, const wchar_t*> tips[] = {
      {IDC_Command2, L"文章の追加"},        {IDC_Command5, L"文章の訂正"},
      {IDC_Command1, L"文章の削除"},        {IDC_Command6, L"文章の書式指定"},
      {IDC_Command7, L"文章を上に１移動"},  {IDC_Command8, L"文章を下に１移動"},
      {IDC_Command3, L"文章を上に10移動"},  {IDC_Command9, L"文章を下に10移動"},
      {IDC_Image1 + 0, L"右上にL字レイアウト（背景黒）"}, {IDC_Image1 + 1, L"左下にL字レイアウト（背景黒）"},
      {IDC_Image1 + 2, L"右上にL字レイアウト（背景白）"}, {IDC_Image1 + 3, L"左下にL字レイアウト（背景白）"},
      {IDC_Image1 + 4, L"中央にレイアウト（背景黒）"},     {IDC_Image1 + 5, L"中央にレイアウト（背景白）"},
  };
  for (const auto& [id, text] : tips) {
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(Item(id));
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  // The blank ten-row buttons carry their tooltip as their accessible name.
  SetWindowTextW(Item(IDC_Command3), L"");
  SetWindowTextW(Item(IDC_Command9), L"");
}

void ConfigForm::ScheduleThumbnails() {
  thumbnailsPending_ = true;
  SetTimer(hwnd(), kThumbnailTimer, kThumbnailDelayMs, nullptr);
}

void ConfigForm::FlushThumbnails() {
  if (thumbnailsPending_) DrawThumbnails();
}

void ConfigForm::DrawThumbnails() {
  KillTimer(hwnd(), kThumbnailTimer);
  thumbnailsPending_ = false;
  if (editor_.View().state != EditorState::kRowSelected) return;
  Result<Message> message = editor_.SelectedMessage();
  ThumbnailInputs in;
  if (message.ok()) {
    in.text = Trim(message.value().text);
    in.format = message.value().format;
  } else {
    in.text = Trim(editor_.View().text1);
  }
  in.format.layout = ' ';
  in.header = editor_.Header();
  in.settings = settings_;
  for (int i = 0; i < kThumbnailCount; ++i) {
    RECT r{};
    GetClientRect(Item(IDC_Image1 + i), &r);
    thumbnails_[static_cast<std::size_t>(i)] = RenderThumbnail(in, i, r.right, r.bottom);
    InvalidateRect(Item(IDC_Image1 + i), nullptr, FALSE);
  }
}

void ConfigForm::DrawItem(const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.CtlID) - IDC_Image1;
  if (index < 0 || index >= kThumbnailCount) return;
  const RECT& r = item.rcItem;
  HBITMAP bitmap = thumbnails_[static_cast<std::size_t>(index)].get();
  if (!bitmap) {
    FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    return;
  }
  UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  SelectionRestorer select(memory.get(), bitmap);
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  BitBlt(item.hDC, r.left, r.top, std::min<LONG>(info.bmWidth, r.right - r.left),
         std::min<LONG>(info.bmHeight, r.bottom - r.top), memory.get(), 0, 0, SRCCOPY);
  // A white page needs an edge on the dialog's light ground.
  FrameRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNSHADOW));
}

void ConfigForm::EndInsertMark() {
  HWND list = Item(IDC_List1);
  DrawInsert(hwnd(), list, -1);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  dragOver_ = -1;
}

LRESULT ConfigForm::OnDragList(const DRAGLISTINFO& info) {
  HWND list = Item(IDC_List1);
  POINT p = info.ptCursor;
  ScreenToClient(list, &p);
  const int itemHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  const int rows = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  switch (info.uNotification) {
    case DL_BEGINDRAG:
      if (rows == 0 || editor_.View().state == EditorState::kNoFile) return FALSE;
      dragStartRow_ = RowAtY(p.y, itemHeight, top, rows);
      return TRUE;
    case DL_DRAGGING: {
      const int over = LBItemFromPt(list, info.ptCursor, TRUE);
      if (over != dragOver_) {
        // The insert mark is drawn on the dialog over the list's edge; the
        // list repaints what the previous mark left on it.
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        DrawInsert(hwnd(), list, over);
        dragOver_ = over;
      }
      if (dragCursor_) {
        SetCursor(dragCursor_);
        return 0;  // DL_CURSORSET
      }
      return DL_MOVECURSOR;
    }
    case DL_DROPPED: {
      EndInsertMark();
      const int from = std::exchange(dragStartRow_, -1);
      DragRows(from, RowAtY(p.y, itemHeight, top, rows));
      return 0;
    }
    case DL_CANCELDRAG:
      EndInsertMark();
      dragStartRow_ = -1;
      return 0;
    default:
      return 0;
  }
}

bool ConfigForm::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDC_List1:
      if (code == LBN_SELCHANGE) SelectionChanged();
      return true;
    case IDC_Text1:
      // The mirror of the selected row is not for typing into.
      if (code == EN_KILLFOCUS) EnableItem(IDC_Text1, false);
      return true;
    case IDC_Command2: Add(); return true;
    case IDC_Command5: Correct(); return true;
    case IDC_Command1: Delete(); return true;
    case IDC_Command6: Format(); return true;
    case IDC_Command7: Move(MoveKind::kUp); return true;
    case IDC_Command8: Move(MoveKind::kDown); return true;
    case IDC_Command3: Move(MoveKind::kUpTen); return true;
    case IDC_Command9: Move(MoveKind::kDownTen); return true;
    case IDC_Command4:
    case IDCANCEL:
      End(IDOK);
      return true;
    case IDM_Mn2_N: NewRegistrationFile(); Apply(); return true;
    case IDM_Mn2_K: OpenRegistrationFile(false); Apply(); return true;
    case IDM_Mn2_I: ImportText(); Apply(); return true;
    case IDM_Mn2_e: ExportText(); return true;
    case IDM_Mn2_h: RenameRegistrationFile(); Apply(); return true;
    case IDM_Mn_o: DisplayOptions(); Apply(); return true;
    case IDM_Mn_Opt2a: ImageOptions(); return true;
    case IDM_Mn_Opt2b: FontOptions(); return true;
    case IDM_Mn_opt2c: ImportOption(); return true;
    case IDM_Mn2_C: services_.Help(hwnd(), HelpCommand::kContents); return true;
    case IDM_Mn2_A: {
      About about;
      services_.RunDialog(about, hwnd());
      return true;
    }
    default:
      return Dialog::OnCommand(id, code, control);
  }
}

bool ConfigForm::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == DragListMessage() && wp == IDC_List1) {
    *result = OnDragList(*reinterpret_cast<const DRAGLISTINFO*>(lp));
    return true;
  }
  switch (msg) {
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      *result = TRUE;
      return true;
    case WM_TIMER:
      if (wp == kThumbnailTimer) {
        DrawThumbnails();
        return true;
      }
      return false;
    case WM_DPICHANGED_AFTERPARENT:
    case WM_DPICHANGED:
      if (editor_.View().thumbnailsVisible) ScheduleThumbnails();
      return false;
    default:
      return false;
  }
}

void ConfigForm::OnClose() {
  services_.Help(hwnd(), HelpCommand::kQuit);
  if (tooltip_) DestroyWindow(tooltip_);
  tooltip_ = nullptr;
}

LRESULT CALLBACK ConfigForm::ThumbnailProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR self) noexcept {
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
    try {
      reinterpret_cast<ConfigForm*>(self)->ThumbnailClicked(static_cast<int>(id), msg == WM_RBUTTONDOWN);
    } catch (...) {
      // Out of memory: the click is dropped.
    }
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &ConfigForm::ThumbnailProc, id);
  return DefSubclassProc(hwnd, msg, wp, lp);
}

int RunSettingsDialog() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
  ConfigForm form(SystemServices(), ProgramFolder());
  form.Run(nullptr);
  return 0;
}

}  // namespace zor::win

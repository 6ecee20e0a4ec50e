#include "win/settings_dialog/config_form.h"

#include <commctrl.h>

#include <utility>

#include "core/data/file_system.h"
#include "win/common/html_help.h"
#include "win/common/profile_store_win32.h"
#include "win/options/about.h"
#include "win/options/op_form.h"
#include "win/options/opt2.h"
#include "win/options/opt2b.h"
#include "win/options/opt2c.h"
#include "win/settings_dialog/config_form_ids.h"
#include "win/settings_dialog/inp_form.h"
#include "win/settings_dialog/scaler.h"

namespace zor::win {

namespace {

constexpr int kRowButtons[] = {IDC_Command1, IDC_Command5, IDC_Command6, IDC_Command7,
                               IDC_Command8, IDC_Command3, IDC_Command9};

}  // namespace

ConfigForm::ConfigForm(DialogServices& services, std::filesystem::path programFolder)
    : Dialog(IDD_ConfigForm),
      services_(services),
      programFolder_(std::move(programFolder)),
      fileDialogs_(services, [this] { Apply(); }),
      commands_(editor_, fileDialogs_, programFolder_),
      strip_(editor_, settings_) {}

bool ConfigForm::OnInit() {
  SetItemText(IDC_Label1, L"レイアウト\r\nプレビュー");
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (icon) {
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  fileDialogs_.SetOwner(hwnd());
  list_.Attach(hwnd(), IDC_List1);
  MakeTooltips();
  strip_.Attach(hwnd(), [this](int index, bool rightButton) { ThumbnailClicked(index, rightButton); });
  CentreOnScreen();
  // The load step: the settings, then the file they name or a fallback.
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  settings_ = LoadSettings(store, programFolder_);
  Record(commands_.Load(settings_.loadFileName));
  Apply();
  list_.StartDragging([this] { return editor_.View().state != EditorState::kNoFile; },
                      [this](int from, int to) { DragRows(from, to); });
  return true;
}

void ConfigForm::Record(const FileCommandResult& result) {
  if (result.fileInUse) WriteLoadFileName(*result.fileInUse);
}

void ConfigForm::WriteLoadFileName(const std::wstring& path) {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  const Status s = SaveSetting(store, SettingKey::kLoadFileName, path);
  if (!s.ok()) services_.Warn(hwnd(), s.message());
  settings_.loadFileName = path;
}

void ConfigForm::DisplayOptions() {
  if (!editor_.HasFile()) return;
  if (const Status written = RunDisplayOptions(services_, hwnd(), editor_); !written.ok()) {
    services_.Warn(hwnd(), written.message());
  }
  strip_.Refresh();  // the emphasis may have changed
}

void ConfigForm::FontOptions() {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  (void)RunFontDateOptions(services_, hwnd(), store);
  // The face and the decoration show in the thumbnails.
  settings_ = LoadSettings(store, programFolder_);
  strip_.Refresh();
}

void ConfigForm::ImageOptions() {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  (void)RunImageOptions(services_, hwnd(), store, programFolder_);
  settings_ = LoadSettings(store, programFolder_);
}

void ConfigForm::ImportOption() {
  Win32ProfileStore store(SettingsFilePath(programFolder_));
  settings_.importLimit = RunImportOption(services_, hwnd(), store, settings_.importLimit);
}

void ConfigForm::Apply() {
  const EditorView view = editor_.View();
  list_.Show(editor_.Rows(), view.selected);
  EnableItem(IDC_Command2, view.addEnabled);
  for (int id : kRowButtons) EnableItem(id, view.rowButtonsEnabled);
  SetItemText(IDC_Text1, view.text1);
  EnableItem(IDC_Text1, view.text1Enabled);
  SetItemText(IDC_Label3, view.countLabel);
  SetItemText(IDC_Label4, view.fileLabel);

  HMENU menu = GetMenu(hwnd());
  const auto enable = [menu](int id, bool on) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  for (int id : {IDM_Mn2_N, IDM_Mn2_K, IDM_Mn2_I, IDM_Mn2_e, IDM_Mn_Opt2a, IDM_Mn_Opt2b, IDM_Mn_opt2c, IDM_Mn2_C,
                 IDM_Mn2_A}) {
    enable(id, true);
  }
  enable(IDM_Mn2_h, view.renameEnabled);
  enable(IDM_Mn_o, view.optionsEnabled);
  DrawMenuBar(hwnd());

  strip_.Show(view.thumbnailsVisible);
}

void ConfigForm::Report(const Status& status) {
  if (!status.ok()) services_.Warn(hwnd(), status.message());
  Apply();
}

void ConfigForm::Add() {
  if (!editor_.View().addEnabled) return;
  Report(RunMessageEntry(services_, hwnd(), editor_, -1));
  SetFocus(Item(IDC_List1));
}

void ConfigForm::Correct() {
  const int row = editor_.View().selected;
  if (row < 0) return;
  Report(RunMessageEntry(services_, hwnd(), editor_, row));
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
  Report(RunLineFormat(services_, hwnd(), editor_, message.value()));
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
  const Result<TestDisplayRequest> request = TestDisplayRequestFor(editor_, index, rightButton);
  if (!request.ok()) {
    Report(request.status());
    return;
  }
  services_.TestDisplay(hwnd(), request.value());
}

void ConfigForm::MakeTooltips() {
  tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
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
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  // The blank ten-row buttons carry their tooltip as their accessible name.
  SetWindowTextW(Item(IDC_Command3), L"");
  SetWindowTextW(Item(IDC_Command9), L"");
}

bool ConfigForm::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDC_List1:
      if (code == LBN_SELCHANGE) {
        editor_.Select(list_.SelectedRow());
        Apply();
      }
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
    case IDM_Mn2_N: Record(commands_.New()); Apply(); return true;
    case IDM_Mn2_K: Record(commands_.Open(RegistrationFileCommands::When::kByCommand)); Apply(); return true;
    case IDM_Mn2_I: Record(commands_.Import(settings_.importLimit != 0)); Apply(); return true;
    case IDM_Mn2_e: (void)commands_.Export(); return true;
    case IDM_Mn2_h: Record(commands_.Rename()); Apply(); return true;
    case IDM_Mn_o: DisplayOptions(); Apply(); return true;
    case IDM_Mn_Opt2a: ImageOptions(); return true;
    case IDM_Mn_Opt2b: FontOptions(); return true;
    case IDM_Mn_opt2c: ImportOption(); return true;
    case IDM_Mn2_C: services_.Help(hwnd(), HelpCommand::kContents, HelpFileIn(programFolder_)); return true;
    case IDM_Mn2_A: ShowVersionBox(services_, hwnd()); return true;
    default:
      return Dialog::OnCommand(id, code, control);
  }
}

bool ConfigForm::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  return list_.OnMessage(msg, wp, lp, result) || strip_.OnMessage(msg, wp, lp, result);
}

void ConfigForm::OnClose() {
  services_.Help(hwnd(), HelpCommand::kQuit, HelpFileIn(programFolder_));
  tooltip_.reset();
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

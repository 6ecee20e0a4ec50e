#include "win/settings_dialog/settings_dialog.h"

#include <commctrl.h>

#include <utility>

#include "core/data/file_system.h"
#include "core/data/settings_file.h"
#include "win/common/html_help.h"
#include "win/options/display_options_dialog.h"
#include "win/options/font_date_options_dialog.h"
#include "win/options/image_options_dialog.h"
#include "win/options/import_option_dialog.h"
#include "win/options/version_box.h"
#include "win/settings_dialog/help_pages.h"
#include "win/settings_dialog/line_format_dialog.h"
#include "win/settings_dialog/message_entry_dialog.h"
#include "win/settings_dialog/settings_dialog_ids.h"

namespace zor::win {

namespace {

constexpr int kRowButtons[] = {IDC_DELETE, IDC_CORRECT, IDC_FORMAT, IDC_MOVE_UP,
                               IDC_MOVE_DOWN, IDC_MOVE_UP_TEN, IDC_MOVE_DOWN_TEN};

// A key the list keeps for itself without a command.
constexpr int kListKeyOnly = -1;

// The button a key pressed in the message list stands for, 0 when the list
// box's own handling applies. Enter and Esc stay in the list: the dialog
// would otherwise end on them.
int ListKeyCommand(WPARAM key, bool control) {
  switch (key) {
    case VK_DELETE: return control ? 0 : IDC_DELETE;
    case VK_INSERT: return control ? 0 : IDC_ADD;
    case VK_RETURN: return IDC_CORRECT;
    case VK_ESCAPE: return kListKeyOnly;
    case VK_UP: return control ? IDC_MOVE_UP : 0;
    case VK_DOWN: return control ? IDC_MOVE_DOWN : 0;
    case VK_PRIOR: return control ? IDC_MOVE_UP_TEN : 0;
    case VK_NEXT: return control ? IDC_MOVE_DOWN_TEN : 0;
    default: return 0;
  }
}

bool IsEditControl(HWND window) {
  wchar_t name[8] = {};
  return GetClassNameW(window, name, 8) > 0 && lstrcmpiW(name, L"Edit") == 0;
}

}  // namespace

SettingsDialog::SettingsDialog(DialogServices& services, std::filesystem::path programFolder)
    : Dialog(IDD_SETTINGS_DIALOG),
      services_(services),
      programFolder_(std::move(programFolder)),
      store_(SettingsFilePath(programFolder_)),
      fileDialogs_(services, [this] { ShowModel(); }),
      commands_(editor_, fileDialogs_, programFolder_),
      strip_(editor_, settings_) {}

bool SettingsDialog::OnInit() {
  SetItemText(IDC_THUMBNAIL_CAPTION, L"レイアウト\r\nプレビュー");
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (icon) {
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  fileDialogs_.SetOwner(hwnd());
  keys_ = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_SETTINGS_KEYS));
  list_.Attach(hwnd(), IDC_MESSAGE_LIST);
  MakeTooltips();
  strip_.Attach(hwnd(), [this](int index, bool rightButton) { ThumbnailClicked(index, rightButton); });
  CentreOnScreen();
  // The load step: the settings, then the file they name or a fallback.
  settings_ = LoadSettings(store_, programFolder_);
  Record(commands_.Load(settings_.registrationFile));
  ShowModel();
  list_.StartDragging([this] { return editor_.View().state != EditorState::kNoFile; },
                      [this](int from, int to) { DragRows(from, to); });
  return true;
}

void SettingsDialog::Record(const FileCommandResult& result) {
  if (result.fileInUse) WriteLoadFileName(*result.fileInUse);
}

void SettingsDialog::WriteLoadFileName(const std::wstring& path) {
  const Status s = SaveSetting(store_, SettingKey::kLoadFileName, path);
  if (!s.ok()) services_.Warn(hwnd(), s.message());
  settings_.registrationFile = path;
}

void SettingsDialog::DisplayOptions() {
  if (!editor_.HasFile()) return;
  if (const Status written = RunDisplayOptions(services_, hwnd(), editor_); !written.ok()) {
    services_.Warn(hwnd(), written.message());
  }
  strip_.Refresh();  // the emphasis may have changed
}

void SettingsDialog::FontOptions() {
  (void)RunFontDateOptions(services_, hwnd(), store_);
  // The face and the decoration show in the thumbnails.
  settings_ = LoadSettings(store_, programFolder_);
  strip_.Refresh();
}

void SettingsDialog::ImageOptions() {
  (void)RunImageOptions(services_, hwnd(), store_, programFolder_);
  settings_ = LoadSettings(store_, programFolder_);
}

void SettingsDialog::ImportOption() {
  settings_.importLimit = RunImportOption(services_, hwnd(), store_, settings_.importLimit);
}

void SettingsDialog::ShowModel() {
  const EditorView view = editor_.View();
  list_.Show(editor_.Rows(), view.selected);
  EnableItem(IDC_ADD, view.addEnabled);
  for (int id : kRowButtons) EnableItem(id, view.rowButtonsEnabled);
  SetItemText(IDC_SELECTED_TEXT, view.selectedText);
  EnableItem(IDC_SELECTED_TEXT, view.selectedTextEnabled);
  SetItemText(IDC_MESSAGE_COUNT, view.countLabel);
  SetItemText(IDC_FILE_NAME, view.fileLabel);

  HMENU menu = GetMenu(hwnd());
  const auto enable = [menu](int id, bool on) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  for (int id : {IDM_NEW_FILE, IDM_OPEN_FILE, IDM_IMPORT, IDM_EXPORT, IDM_IMAGE_OPTIONS, IDM_FONT_DATE_OPTIONS, IDM_IMPORT_OPTION, IDM_HELP_CONTENTS,
                 IDM_VERSION}) {
    enable(id, true);
  }
  enable(IDM_RENAME_FILE, view.renameEnabled);
  enable(IDM_EDIT_UNDO, view.undoEnabled);
  enable(IDM_EDIT_REDO, view.redoEnabled);
  enable(IDM_DISPLAY_OPTIONS, view.optionsEnabled);
  DrawMenuBar(hwnd());

  strip_.Show(view.thumbnailsVisible);
}

void SettingsDialog::Report(const Status& status) {
  if (!status.ok()) services_.Warn(hwnd(), status.message());
  ShowModel();
}

void SettingsDialog::Add() {
  if (!editor_.View().addEnabled) return;
  Report(RunMessageEntry(services_, hwnd(), editor_, -1));
  SetFocus(Item(IDC_MESSAGE_LIST));
}

void SettingsDialog::Correct() {
  const int row = editor_.View().selected;
  if (row < 0) return;
  Report(RunMessageEntry(services_, hwnd(), editor_, row));
  SetFocus(Item(IDC_MESSAGE_LIST));
}

void SettingsDialog::Delete() {
  if (editor_.View().selected < 0) return;
  Status s;
  {
    WaitCursor wait;
    s = editor_.Delete();
  }
  Report(s);
  SetFocus(Item(IDC_MESSAGE_LIST));
}

void SettingsDialog::Format() {
  if (editor_.View().selected < 0) return;
  Result<Message> message = editor_.SelectedMessage();
  if (!message.ok()) {
    Report(message.status());
    return;
  }
  Report(RunLineFormat(services_, hwnd(), editor_, message.value()));
}

void SettingsDialog::Move(MoveKind kind) {
  if (editor_.View().selected < 0) return;
  Status s;
  {
    WaitCursor wait;
    s = editor_.Move(kind);
  }
  Report(s);
}

void SettingsDialog::StepHistory(bool forward) {
  if (!editor_.HasFile()) return;
  Status s;
  {
    WaitCursor wait;
    s = forward ? editor_.Redo() : editor_.Undo();
  }
  Report(s);
}

void SettingsDialog::DragRows(int fromRow, int toRow) {
  if (fromRow < 0 || fromRow == toRow) return;
  Status s;
  {
    WaitCursor wait;
    s = editor_.Drag(fromRow, toRow);
  }
  Report(s);
}

void SettingsDialog::ThumbnailClicked(int index, bool rightButton) {
  if (editor_.View().state != EditorState::kRowSelected) return;
  const Result<TestDisplayRequest> request = TestDisplayRequestFor(editor_, index, rightButton);
  if (!request.ok()) {
    Report(request.status());
    return;
  }
  services_.TestDisplay(hwnd(), request.value());
}

void SettingsDialog::MakeTooltips() {
  const std::pair<int, const wchar_t*> buttonTips[] = {
      {IDC_ADD, L"文章の追加"},
      {IDC_CORRECT, L"文章の訂正"},
      {IDC_DELETE, L"文章の削除"},
      {IDC_FORMAT, L"文章の書式指定"},
      {IDC_MOVE_UP, L"文章を上に１移動"},
      {IDC_MOVE_DOWN, L"文章を下に１移動"},
      {IDC_MOVE_UP_TEN, L"文章を上に10移動"},
      {IDC_MOVE_DOWN_TEN, L"文章を下に10移動"},
  };
  for (const auto& [id, text] : buttonTips) tips_.Add(hwnd(), Item(id), text);
  // A thumbnail's tip is its caption, the layout it shows.
  for (int i = 0; i < kThumbnailCount; ++i) tips_.Add(hwnd(), Item(IDC_THUMBNAIL + i), ItemText(IDC_THUMBNAIL + i));
  // The ten-row buttons show no text; screen readers are told what they do.
  SetWindowTextW(Item(IDC_MOVE_UP_TEN), L"");
  SetWindowTextW(Item(IDC_MOVE_DOWN_TEN), L"");
  NameForScreenReaders(Item(IDC_MOVE_UP_TEN), L"10 件上へ");
  NameForScreenReaders(Item(IDC_MOVE_DOWN_TEN), L"10 件下へ");
  NameForScreenReaders(Item(IDC_MESSAGE_LIST), L"登録文章");
}

bool SettingsDialog::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDC_MESSAGE_LIST:
      if (code == LBN_SELCHANGE) {
        editor_.Select(list_.SelectedRow());
        ShowModel();
      } else if (code == LBN_DBLCLK) {
        Correct();
      }
      return true;
    case IDC_SELECTED_TEXT:
      // The mirror of the selected row is not for typing into.
      if (code == EN_KILLFOCUS) EnableItem(IDC_SELECTED_TEXT, false);
      return true;
    case IDC_ADD: Add(); return true;
    case IDC_CORRECT: Correct(); return true;
    case IDC_DELETE: Delete(); return true;
    case IDC_FORMAT: Format(); return true;
    case IDC_MOVE_UP: Move(MoveKind::kUp); return true;
    case IDC_MOVE_DOWN: Move(MoveKind::kDown); return true;
    case IDC_MOVE_UP_TEN: Move(MoveKind::kUpTen); return true;
    case IDC_MOVE_DOWN_TEN: Move(MoveKind::kDownTen); return true;
    case IDC_CLOSE:
    case IDCANCEL:
      End(IDOK);
      return true;
    case IDM_NEW_FILE: Record(commands_.New()); ShowModel(); return true;
    case IDM_OPEN_FILE: Record(commands_.Open(RegistrationFileCommands::When::kByCommand)); ShowModel(); return true;
    case IDM_IMPORT: Record(commands_.Import(settings_.importLimit != 0)); ShowModel(); return true;
    case IDM_EXPORT: (void)commands_.Export(); return true;
    case IDM_RENAME_FILE: Record(commands_.Rename()); ShowModel(); return true;
    case IDM_EDIT_UNDO: StepHistory(false); return true;
    case IDM_EDIT_REDO: StepHistory(true); return true;
    case IDM_DISPLAY_OPTIONS: DisplayOptions(); ShowModel(); return true;
    case IDM_IMAGE_OPTIONS: ImageOptions(); return true;
    case IDM_FONT_DATE_OPTIONS: FontOptions(); return true;
    case IDM_IMPORT_OPTION: ImportOption(); return true;
    case IDM_HELP_CONTENTS: services_.Help(hwnd(), HelpCommand::kContents, HelpFileIn(programFolder_), {}); return true;
    case IDM_VERSION: ShowVersionBox(services_, hwnd()); return true;
    default:
      return Dialog::OnCommand(id, code, control);
  }
}

bool SettingsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  return list_.OnMessage(msg, wp, lp, result) || strip_.OnMessage(msg, wp, lp, result);
}

bool SettingsDialog::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.hwnd == Item(IDC_MESSAGE_LIST)) {
    const int command = ListKeyCommand(msg.wParam, GetKeyState(VK_CONTROL) < 0);
    if (command > 0) OnCommand(command, BN_CLICKED, nullptr);
    if (command != 0) return true;
  }
  // An edit control keeps its own Ctrl+Z.
  if (IsEditControl(msg.hwnd)) return false;
  return keys_ && TranslateAcceleratorW(hwnd(), keys_, &msg) != 0;
}

void SettingsDialog::OnClose() {
  services_.Help(hwnd(), HelpCommand::kQuit, HelpFileIn(programFolder_), {});
  tips_.Destroy();
}

int RunSettingsDialog() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
  DialogServices& services = SystemServices();
  const std::filesystem::path helpFile = HelpFileIn(ProgramFolder());
  SetDialogHelpHandler([&services, helpFile](HWND dialog, int templateId) {
    services.Help(dialog, HelpCommand::kTopic, helpFile, HelpPageOf(templateId));
  });
  SettingsDialog form(services, ProgramFolder());
  form.RunOwnLoop(nullptr);
  SetDialogHelpHandler(nullptr);
  return 0;
}

}  // namespace zor::win

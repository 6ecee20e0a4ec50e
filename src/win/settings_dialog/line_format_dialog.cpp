#include "win/settings_dialog/line_format_dialog.h"

#include "core/screen/palette.h"
#include "core/text/measures.h"
#include "win/common/drawings.h"
#include "win/settings_dialog/line_format_dialog_ids.h"

namespace zor::win {

namespace {

constexpr int kCells = 32;
constexpr COLORREF kMarkedColour = RGB(255, 0, 0);  // colour 12 of the palette
constexpr COLORREF kPlainColour = RGB(0, 0, 0);

}  // namespace

LineFormatDialog::LineFormatDialog(ListEditor& editor, const Message& message)
    : ModelDialog(IDD_LINE_FORMAT),
      editor_(editor),
      model_(Trim(message.text), message.format, editor.Header().options.emphasisOn != 0) {}

bool LineFormatDialog::OnInit() {
  CentreOnScreen();
  ShowModel();
  MakeChoices();
  return true;
}

void LineFormatDialog::MakeChoices() {
  PictureGroup cells;
  for (int i = 0; i < kCells; ++i) cells.controls.push_back(Item(IDC_CHARACTER_CELL + i));
  cells.role = ChoiceRole::kToggle;
  cells.checked = [this](int i) { return shown_.cells[static_cast<std::size_t>(i)].red; };
  cells.activated = [this](int i, bool shift) {
    if (shift) {
      model_.ClickMarker(i);
    } else {
      model_.ClickCharacter(i);
    }
    ShowModel();
  };
  cells.described = [this](int i) {
    const FormatCell& c = shown_.cells[static_cast<std::size_t>(i)];
    if (!c.hasMarker) return std::wstring();
    const bool kind = c.markerKind >= 'A' && c.markerKind <= 'D';
    return std::wstring(L"折れ位置") + (kind ? std::wstring(L" ") + static_cast<wchar_t>(c.markerKind) : L"");
  };
  cells.moved = [this](int i, KeyMove move) { return MoveCellCursor(i, move, model_.CellCount()); };
  cells.enterActs = false;
  cells.focusInset = 1;
  choices_.Add(std::move(cells));
  PictureGroup layouts;
  for (int i = 0; i < kLayoutPictureCount; ++i) {
    layouts.controls.push_back(Item(IDC_FIXED_LAYOUT_PICTURE + i));
    tips_.Add(hwnd(), Item(IDC_FIXED_LAYOUT_PICTURE + i), ItemText(IDC_FIXED_LAYOUT_PICTURE + i));
  }
  layouts.checked = [this](int i) { return shown_.layout == i + 1; };
  choices_.Add(std::move(layouts));
}

void LineFormatDialog::ShowModel() {
  const LineFormatView view = model_.View();
  for (int i = 0; i < kCells; ++i) {
    const FormatCell& c = view.cells[static_cast<std::size_t>(i)];
    const FormatCell& before = shown_.cells[static_cast<std::size_t>(i)];
    ShowItem(IDC_CHARACTER_CELL + i, c.shown);
    ShowItem(IDC_FOLD_CELL + i, c.shown);
    if (c.shown) SetItemText(IDC_CHARACTER_CELL + i, c.character);
    if (c.red != before.red || c.character != before.character) InvalidateRect(Item(IDC_CHARACTER_CELL + i), nullptr, TRUE);
    if (c.picture != before.picture) InvalidateRect(Item(IDC_FOLD_CELL + i), nullptr, TRUE);
  }
  SetChecked(IDC_RANDOM_EMPHASIS, view.randomChecked);
  EnableItem(IDC_RANDOM_EMPHASIS, view.randomEnabled);
  SetChecked(IDC_AUTO_FOLD, view.autoFoldChecked);
  EnableItem(IDC_AUTO_FOLD, view.autoFoldEnabled);
  for (int i = 0; i < 4; ++i) SetChecked(IDC_FIXED_LAYOUT + i, view.layout == i);
  for (int i = 0; i < 3; ++i) InvalidateRect(Item(IDC_FIXED_LAYOUT_PICTURE + i), nullptr, FALSE);
  shown_ = view;
  choices_.FollowChoice();
}

void LineFormatDialog::DrawItem(const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  const RECT& r = item.rcItem;
  HDC dc = item.hDC;
  const HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  if (id >= IDC_CHARACTER_CELL && id < IDC_CHARACTER_CELL + kCells) {
    const FormatCell& c = shown_.cells[static_cast<std::size_t>(id - IDC_CHARACTER_CELL)];
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    SelectionRestorer font(dc, cellFont_.For(r.bottom - r.top));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c.red ? kMarkedColour : kPlainColour);
    RECT text = r;
    DrawTextW(dc, c.character.c_str(), static_cast<int>(c.character.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  } else if (id >= IDC_FOLD_CELL && id < IDC_FOLD_CELL + kCells) {
    FillRect(dc, &r, face);
    // The cell's outline shows where a click places the marker.
    FrameRect(dc, &r, GetSysColorBrush(COLOR_3DLIGHT));
    DrawFoldMarker(dc, r, shown_.cells[static_cast<std::size_t>(id - IDC_FOLD_CELL)].picture);
  } else if (id >= IDC_FIXED_LAYOUT_PICTURE && id < IDC_FIXED_LAYOUT_PICTURE + 3) {
    FillRect(dc, &r, face);
    DrawLayoutPicture(dc, r, id - IDC_FIXED_LAYOUT_PICTURE, shown_.layout == id - IDC_FIXED_LAYOUT_PICTURE + 1);
  }
}

bool LineFormatDialog::ToModel(int id, int code) {
  const bool clicked = code == BN_CLICKED;
  const bool pictureClicked = IsStaticClick(code);
  if (id >= IDC_CHARACTER_CELL && id < IDC_CHARACTER_CELL + kCells) {
    if (pictureClicked) model_.ClickCharacter(id - IDC_CHARACTER_CELL);
  } else if (id >= IDC_FOLD_CELL && id < IDC_FOLD_CELL + kCells) {
    if (pictureClicked) model_.ClickMarker(id - IDC_FOLD_CELL);
  } else if (id >= IDC_FIXED_LAYOUT_PICTURE && id < IDC_FIXED_LAYOUT_PICTURE + 3) {
    if (pictureClicked) model_.SelectLayout(id - IDC_FIXED_LAYOUT_PICTURE + 1);
  } else if (id >= IDC_FIXED_LAYOUT && id < IDC_FIXED_LAYOUT + 4) {
    if (clicked) model_.SelectLayout(id - IDC_FIXED_LAYOUT);
  } else if (id == IDC_RANDOM_EMPHASIS) {
    if (clicked) model_.SetRandomEmphasis(Checked(IDC_RANDOM_EMPHASIS));
  } else if (id == IDC_AUTO_FOLD) {
    if (clicked) model_.SetAutoFold(Checked(IDC_AUTO_FOLD));
  } else {
    return false;
  }
  return true;
}

void LineFormatDialog::Confirm() {
  EndWritten(editor_.WriteFormat(model_.Bytes()));
}

bool LineFormatDialog::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      *result = TRUE;
      return true;
    case WM_DPICHANGED:
      cellFont_.Forget();
      return false;  // the dialog goes on with its own handling
    default:
      return false;
  }
}

void LineFormatDialog::OnClose() { tips_.Destroy(); }

Status RunLineFormat(DialogServices& services, HWND owner, ListEditor& editor, const Message& message) {
  LineFormatDialog lineFormatDialog(editor, message);
  services.RunDialog(lineFormatDialog, owner);
  return lineFormatDialog.Outcome();
}

}  // namespace zor::win

#include "win/options/image_options_dialog.h"

#include <algorithm>
#include <utility>

#include "core/screen/palette.h"
#include "win/common/handles.h"
#include "win/common/palette_colours.h"
#include "win/options/image_options_dialog_ids.h"
#include "win/options/picture_folder_chooser.h"

namespace zor::win {

namespace {

constexpr const wchar_t* kStretchTips[kStretchChoices] = {
    L"拡縮しない",
    L"全体が見えるように拡縮（縦横比を保持）",
    L"画面サイズに合わせて拡縮（縦横比を保持）",
    L"画面サイズに合わせて拡縮",
};
constexpr int kFrameCurrent = 12;  // light red
constexpr int kFrameOther = kPaletteBlack;

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  if (brush) FillRect(dc, &r, brush.get());
}

// A portrait picture: sky, a hill and a sun, drawn into p.
void DrawLandscape(HDC dc, const RECT& p) {
  const int w = p.right - p.left;
  const int h = p.bottom - p.top;
  Fill(dc, p, RGB(120, 180, 235));
  Fill(dc, {p.left, p.top + h * 2 / 3, p.right, p.bottom}, RGB(70, 150, 70));
  UniqueBrush sun(CreateSolidBrush(RGB(250, 210, 40)));
  SelectionRestorer brush(dc, sun.get());
  SelectionRestorer pen(dc, GetStockObject(NULL_PEN));
  Ellipse(dc, p.left + w * 55 / 100, p.top + h * 12 / 100, p.left + w * 85 / 100, p.top + h * 12 / 100 + w * 30 / 100);
}

}  // namespace

void DrawStretchPicture(HDC dc, const RECT& r, int mode, bool current) {
  const int h = r.bottom - r.top;
  const int line = std::max(1, h / 27) * 2;
  // The frame, a line inside the control's edge.
  const COLORREF frame = ColourOf(current ? kFrameCurrent : kFrameOther);
  Fill(dc, {r.left, r.top, r.right, r.top + line}, frame);
  Fill(dc, {r.left, r.bottom - line, r.right, r.bottom}, frame);
  Fill(dc, {r.left, r.top, r.left + line, r.bottom}, frame);
  Fill(dc, {r.right - line, r.top, r.right, r.bottom}, frame);
  // The screen, landscape, inside the frame with a gap.
  const int gap = line + std::max(1, line / 2);
  const RECT screen{r.left + gap, r.top + gap, r.right - gap, r.bottom - gap};
  const int sw = screen.right - screen.left;
  const int sh = screen.bottom - screen.top;
  if (sw < 4 || sh < 4) return;
  Fill(dc, screen, RGB(0, 0, 0));
  // The picture is three wide to four high.
  int pw = 0;
  int ph = 0;
  switch (mode) {
    case 0:  // its own size, smaller than the screen
      ph = sh * 2 / 3;
      pw = ph * 3 / 4;
      break;
    case 1:  // the whole picture, as high as the screen
      ph = sh;
      pw = ph * 3 / 4;
      break;
    case 2:  // the screen filled, the rest cut off
      pw = sw;
      ph = pw * 4 / 3;
      break;
    default:  // stretched to the screen
      pw = sw;
      ph = sh;
      break;
  }
  const int x = screen.left + (sw - pw) / 2;
  const int y = screen.top + (sh - ph) / 2;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, screen.left, screen.top, screen.right, screen.bottom);
  DrawLandscape(dc, {x, y, x + pw, y + ph});
  RestoreDC(dc, saved);
}

ImageOptionsDialog::ImageOptionsDialog(DialogServices& services, ProfileStore& store, std::filesystem::path programFolder)
    : SaveOnCloseDialog(IDD_IMAGE_OPTIONS, services),
      store_(store),
      programFolder_(std::move(programFolder)),
      model_(LoadSettings(store, programFolder_)) {}

bool ImageOptionsDialog::OnInit() {
  PictureGroup background;
  PictureGroup interval;
  for (int i = 0; i < kStretchChoices; ++i) {
    for (int first : {IDC_BACKGROUND_STRETCH, IDC_INTERVAL_STRETCH}) {
      tips_.Add(hwnd(), Item(first + i), kStretchTips[i]);
      SetItemText(first + i, kStretchTips[i]);
    }
    background.controls.push_back(Item(IDC_BACKGROUND_STRETCH + i));
    interval.controls.push_back(Item(IDC_INTERVAL_STRETCH + i));
  }
  background.checked = [this](int index) { return model_.View().bgStretch == index; };
  interval.checked = [this](int index) { return model_.View().itStretch == index; };
  choices_.Add(std::move(background));
  choices_.Add(std::move(interval));
  ShowModel();
  CentreOnScreen();
  return true;
}

void ImageOptionsDialog::ShowModel() {
  const ImageOptionsView& view = model_.View();
  CheckRadioButton(hwnd(), IDC_BACKGROUND_PLACEMENT, IDC_BACKGROUND_PLACEMENT + kPlacementChoices - 1, IDC_BACKGROUND_PLACEMENT + view.placement);
  CheckRadioButton(hwnd(), IDC_INTERVAL_MODE, IDC_INTERVAL_MODE + kIntervalChoices - 1, IDC_INTERVAL_MODE + view.interval);
  SetChecked(IDC_COLOUR_BY_FILE_NAME, view.colourByName);
  SetItemText(IDC_BACKGROUND_SOURCE_CAPTION, view.bgHeading);
  SetItemText(IDC_BACKGROUND_SOURCE, view.bgPath);
  SetItemText(IDC_INTERVAL_SOURCE, view.itPath);
  if (shownOnce_) {
    // Only the two frames that change are painted again.
    if (view.bgStretch != shown_.bgStretch) {
      InvalidateRect(Item(IDC_BACKGROUND_STRETCH + shown_.bgStretch), nullptr, FALSE);
      InvalidateRect(Item(IDC_BACKGROUND_STRETCH + view.bgStretch), nullptr, FALSE);
    }
    if (view.itStretch != shown_.itStretch) {
      InvalidateRect(Item(IDC_INTERVAL_STRETCH + shown_.itStretch), nullptr, FALSE);
      InvalidateRect(Item(IDC_INTERVAL_STRETCH + view.itStretch), nullptr, FALSE);
    }
  }
  choices_.FollowChoice();
  shown_ = view;
  shownOnce_ = true;
}

void ImageOptionsDialog::Choose(ChooserMode mode) {
  if (const auto written = RunPictureFolderChooser(Services(), hwnd(), store_, programFolder_, mode)) {
    model_.SourcesWritten(*written);
  }
}

Status ImageOptionsDialog::Save() { return model_.Save(store_); }

bool ImageOptionsDialog::ToModel(int id, int code) {
  const bool clicked = code == BN_CLICKED;
  const bool pictureClicked = IsStaticClick(code);
  if (id >= IDC_BACKGROUND_PLACEMENT && id < IDC_BACKGROUND_PLACEMENT + kPlacementChoices) {
    if (clicked) model_.SelectPlacement(id - IDC_BACKGROUND_PLACEMENT);
  } else if (id >= IDC_INTERVAL_MODE && id < IDC_INTERVAL_MODE + kIntervalChoices) {
    if (clicked) model_.SelectInterval(id - IDC_INTERVAL_MODE);
  } else if (id >= IDC_BACKGROUND_STRETCH && id < IDC_BACKGROUND_STRETCH + kStretchChoices) {
    if (pictureClicked) model_.ClickBackgroundStretch(id - IDC_BACKGROUND_STRETCH);
  } else if (id >= IDC_INTERVAL_STRETCH && id < IDC_INTERVAL_STRETCH + kStretchChoices) {
    if (pictureClicked) model_.ClickIntervalStretch(id - IDC_INTERVAL_STRETCH);
  } else if (id == IDC_COLOUR_BY_FILE_NAME) {
    if (clicked) model_.SetColourByName(Checked(IDC_COLOUR_BY_FILE_NAME));
  } else if (id == IDC_CHANGE_BACKGROUND_SOURCE) {
    if (clicked) Choose(ChooserMode::kBackground);
  } else if (id == IDC_CHANGE_INTERVAL_SOURCE) {
    if (clicked) Choose(ChooserMode::kInterval);
  } else {
    return false;
  }
  return true;
}

bool ImageOptionsDialog::OnCommand(int id, int code, HWND control) {
  // The tips go before the closing's write, which may show a warning.
  if (id == IDOK || id == IDCANCEL) tips_.Destroy();
  return SaveOnCloseDialog::OnCommand(id, code, control);
}

bool ImageOptionsDialog::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  const int id = static_cast<int>(item.CtlID);
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const ImageOptionsView& view = model_.View();
  if (id >= IDC_BACKGROUND_STRETCH && id < IDC_BACKGROUND_STRETCH + kStretchChoices) {
    DrawStretchPicture(item.hDC, item.rcItem, id - IDC_BACKGROUND_STRETCH, view.bgStretch == id - IDC_BACKGROUND_STRETCH);
  } else if (id >= IDC_INTERVAL_STRETCH && id < IDC_INTERVAL_STRETCH + kStretchChoices) {
    DrawStretchPicture(item.hDC, item.rcItem, id - IDC_INTERVAL_STRETCH, view.itStretch == id - IDC_INTERVAL_STRETCH);
  }
  *result = TRUE;
  return true;
}

void ImageOptionsDialog::OnClose() {
  tips_.Destroy();
  SaveOnCloseDialog::OnClose();
}

Settings RunImageOptions(DialogServices& services, HWND owner, ProfileStore& store,
                         const std::filesystem::path& programFolder) {
  ImageOptionsDialog options(services, store, programFolder);
  services.RunDialog(options, owner);
  return options.Stored();
}

}  // namespace zor::win

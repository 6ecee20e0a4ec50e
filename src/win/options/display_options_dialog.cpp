#include "win/options/display_options_dialog.h"

#include <utility>

#include "core/data/default_face.h"
#include "core/data/file_system.h"
#include "core/data/settings.h"
#include "core/screen/palette.h"
#include "core/text/measures.h"
#include "win/common/drawings.h"
#include "win/common/palette_colours.h"
#include "win/options/display_options_dialog_ids.h"
#include "win/options/option_pictures.h"

namespace zor::win {

namespace {

constexpr int kSchemes = 4;
constexpr int kLayouts = 3;
constexpr int kOrders = 2;
constexpr int kSchemePictures = 7;
constexpr int kLayoutPictures = 4;

// The scheme pictures beside their options: 0 black (white on black), 2 white
// (black on white), 1 and 3 black and white (random), 4 to 6 two black and a
// white (random, mostly black).
constexpr bool kBlackGround[kSchemePictures] = {true, true, false, false, true, true, false};
// The layout pictures: an L, the centred row, and an L and the row for random.
constexpr int kLayoutSketch[kLayoutPictures] = {0, 2, 1, 2};
// The scheme pictures in the order the dialog shows them, row by row.
constexpr int kSchemePictureOrder[kSchemePictures] = {0, 2, 1, 3, 4, 5, 6};
// What screen readers call the swatches 1..14 (palette colours 1..14).
constexpr const wchar_t* kSwatchNames[kLastEmphasisColour + 1] = {
    L"", L"紺", L"緑", L"青緑", L"暗い赤", L"紫", L"オリーブ", L"銀",
    L"灰", L"青", L"明るい緑", L"水色", L"赤", L"赤紫", L"黄"};

}  // namespace

DisplayOptionsDialog::DisplayOptionsDialog(ListEditor& editor, std::wstring caption)
    : ModelDialog(IDD_DISPLAY_OPTIONS), editor_(editor), caption_(std::move(caption)), model_(editor.Header().options) {}

bool DisplayOptionsDialog::OnInit() {
  SetWindowTextW(hwnd(), caption_.c_str());
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_POS;
  si.nMin = kIntervalMin;
  si.nMax = kIntervalMax;
  si.nPos = model_.IntervalPosition();
  SetScrollInfo(Item(IDC_INTERVAL_BAR), SB_CTL, &si, FALSE);
  CentreOnScreen();
  MakeChoices();
  ShowModel();
  return true;
}

void DisplayOptionsDialog::MakeChoices() {
  NameForScreenReaders(Item(IDC_INTERVAL_BAR), WithoutAccessKey(ItemText(IDC_INTERVAL_BAR_GROUP)));
  // A picture is named for the option it stands for, and for its ground
  // where one option has several pictures.
  const auto name = [this](int picture, int option, bool several) {
    std::wstring text = WithoutAccessKey(ItemText(option));
    if (several) text += L"：" + ItemText(picture);
    SetItemText(picture, text);
  };
  PictureGroup schemes;
  for (int i : kSchemePictureOrder) {
    const int scheme = DisplayOptionsModel::SchemeOfPicture(i);
    name(IDC_SCHEME_PICTURE + i, IDC_SCHEME + scheme, scheme >= 2);
    schemes.controls.push_back(Item(IDC_SCHEME_PICTURE + i));
  }
  schemes.checked = [this](int index) {
    return model_.Current().scheme ==
           DisplayOptionsModel::SchemeOfPicture(kSchemePictureOrder[static_cast<std::size_t>(index)]);
  };
  choices_.Add(std::move(schemes));
  PictureGroup layouts;
  for (int i = 0; i < kLayoutPictures; ++i) {
    const int layout = DisplayOptionsModel::LayoutOfPicture(i);
    name(IDC_LAYOUT_PICTURE + i, IDC_LAYOUT + layout, layout == 2);
    layouts.controls.push_back(Item(IDC_LAYOUT_PICTURE + i));
  }
  layouts.checked = [this](int index) {
    return model_.Current().layout == DisplayOptionsModel::LayoutOfPicture(index);
  };
  choices_.Add(std::move(layouts));
  PictureGroup swatches;
  for (int i = kFirstEmphasisColour; i <= kLastEmphasisColour; ++i) {
    SetItemText(IDC_EMPHASIS_SWATCH + i, kSwatchNames[i]);
    swatches.controls.push_back(Item(IDC_EMPHASIS_SWATCH + i));
  }
  swatches.checked = [this](int index) { return model_.Current().colour == index + 1; };
  swatches.focusInset = 3;
  choices_.Add(std::move(swatches));
}

void DisplayOptionsDialog::ShowModel() {
  const DisplayOptions& now = model_.Current();
  const bool repaint = shownOnce_;
  const auto invalidate = [&](int id) {
    if (repaint) InvalidateRect(Item(id), nullptr, FALSE);
  };
  if (!repaint || now.interval != shown_.interval) {
    SetScrollPos(Item(IDC_INTERVAL_BAR), SB_CTL, model_.IntervalPosition(), TRUE);
  }
  // A value no button stands for leaves its group without a selection.
  for (int i = 0; i < kSchemes; ++i) SetChecked(IDC_SCHEME + i, now.scheme == i);
  for (int i = 0; i < kLayouts; ++i) SetChecked(IDC_LAYOUT + i, now.layout == i);
  for (int i = 0; i < kOrders; ++i) SetChecked(IDC_ORDER + i, now.order == i);
  SetChecked(IDC_EMPHASIS_ON, model_.EmphasisOn());
  for (int i = kFirstEmphasisColour; i <= kLastEmphasisColour; ++i) {
    ShowItem(IDC_EMPHASIS_SWATCH + i, model_.SwatchesVisible());
    if ((now.colour == i) != (shown_.colour == i)) invalidate(IDC_EMPHASIS_SWATCH + i);
  }
  if (now.scheme != shown_.scheme) {
    for (int i = 0; i < kSchemePictures; ++i) invalidate(IDC_SCHEME_PICTURE + i);
  }
  if (now.layout != shown_.layout) {
    for (int i = 0; i < kLayoutPictures; ++i) invalidate(IDC_LAYOUT_PICTURE + i);
  }
  if (now.colour != shown_.colour || now.emphasisOn != shown_.emphasisOn) invalidate(IDC_EMPHASIS_SAMPLE);
  choices_.FollowChoice();
  shown_ = now;
  shownOnce_ = true;
}

void DisplayOptionsDialog::Scroll(int code, int position) {
  switch (code) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
      model_.ScrollIntervalBy(-1);
      break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
      model_.ScrollIntervalBy(1);
      break;
    case SB_LEFT:
      model_.ScrollIntervalTo(kIntervalMin);
      break;
    case SB_RIGHT:
      model_.ScrollIntervalTo(kIntervalMax);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      model_.ScrollIntervalTo(position);
      break;
    default:
      return;
  }
  ShowModel();
}

void DisplayOptionsDialog::DrawSample(HDC dc, const RECT& r) {
  const std::wstring text = ItemText(IDC_EMPHASIS_SAMPLE);
  SelectionRestorer font(dc, sampleFont_.For(r.bottom - r.top));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColourOf(model_.SampleColour()));
  RECT box = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void DisplayOptionsDialog::DrawItem(const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  const RECT& r = item.rcItem;
  HDC dc = item.hDC;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const DisplayOptions& now = model_.Current();
  if (id >= IDC_SCHEME_PICTURE && id < IDC_SCHEME_PICTURE + kSchemePictures) {
    const int i = id - IDC_SCHEME_PICTURE;
    DrawGroundPicture(dc, r, kBlackGround[i], now.scheme == DisplayOptionsModel::SchemeOfPicture(i));
  } else if (id >= IDC_LAYOUT_PICTURE && id < IDC_LAYOUT_PICTURE + kLayoutPictures) {
    const int i = id - IDC_LAYOUT_PICTURE;
    DrawLayoutPicture(dc, r, kLayoutSketch[i], now.layout == DisplayOptionsModel::LayoutOfPicture(i));
  } else if (id > IDC_EMPHASIS_SWATCH && id <= IDC_EMPHASIS_SWATCH + kLastEmphasisColour) {
    const int i = id - IDC_EMPHASIS_SWATCH;
    DrawSwatch(dc, r, ColourOf(i), now.colour == i);
  } else if (id == IDC_EMPHASIS_SAMPLE) {
    DrawSample(dc, r);
  }
}

bool DisplayOptionsDialog::ToModel(int id, int code) {
  const bool clicked = code == BN_CLICKED;
  const bool pictureClicked = IsStaticClick(code);
  if (id >= IDC_SCHEME && id < IDC_SCHEME + kSchemes) {
    if (clicked) model_.SetScheme(static_cast<std::int16_t>(id - IDC_SCHEME));
  } else if (id >= IDC_LAYOUT && id < IDC_LAYOUT + kLayouts) {
    if (clicked) model_.SetLayout(static_cast<std::int16_t>(id - IDC_LAYOUT));
  } else if (id >= IDC_ORDER && id < IDC_ORDER + kOrders) {
    if (clicked) model_.SetOrder(static_cast<std::int16_t>(id - IDC_ORDER));
  } else if (id == IDC_EMPHASIS_ON) {
    if (clicked) model_.SetEmphasisOn(Checked(IDC_EMPHASIS_ON));
  } else if (id >= IDC_SCHEME_PICTURE && id < IDC_SCHEME_PICTURE + kSchemePictures) {
    if (pictureClicked) model_.ClickSchemePicture(id - IDC_SCHEME_PICTURE);
  } else if (id >= IDC_LAYOUT_PICTURE && id < IDC_LAYOUT_PICTURE + kLayoutPictures) {
    if (pictureClicked) model_.ClickLayoutPicture(id - IDC_LAYOUT_PICTURE);
  } else if (id > IDC_EMPHASIS_SWATCH && id <= IDC_EMPHASIS_SWATCH + kLastEmphasisColour) {
    if (pictureClicked) model_.SetColour(static_cast<std::int16_t>(id - IDC_EMPHASIS_SWATCH));
  } else {
    return false;
  }
  return true;
}

void DisplayOptionsDialog::Confirm() {
  EndWritten(editor_.WriteOptions(model_.Result()));
}

bool DisplayOptionsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) != Item(IDC_INTERVAL_BAR)) return false;
      // The thumb's 16-bit position is enough: the bar ends at 11000.
      Scroll(LOWORD(wp), HIWORD(wp));
      *result = 0;
      return true;
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

Status RunDisplayOptions(DialogServices& services, HWND owner, ListEditor& editor) {
  DisplayOptionsDialog options(editor, Trim(PathText(editor.Path().filename())) + L" のオプション");
  services.RunDialog(options, owner);
  return options.Outcome();
}

}  // namespace zor::win

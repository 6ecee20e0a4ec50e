#include "win/options/op_form.h"

#include <utility>

#include "core/data/default_face.h"
#include "core/data/file_system.h"
#include "core/data/settings.h"
#include "core/screen/palette.h"
#include "core/text/measures.h"
#include "win/common/drawings.h"
#include "win/common/palette_colours.h"
#include "win/options/op_form_ids.h"
#include "win/options/option_pictures.h"

namespace zor::win {

namespace {

constexpr int kSchemes = 4;
constexpr int kLayouts = 3;
constexpr int kOrders = 2;
constexpr int kSchemePictures = 7;
constexpr int kLayoutPictures = 4;
constexpr int kLastSwatch = 14;

// Image1(0..6) beside their options: 0 black (white on black), 2 white
// (black on white), 1 and 3 black and white (random), 4 to 6 two black and a
// white (random, mostly black).
constexpr bool kBlackGround[kSchemePictures] = {true, true, false, false, true, true, false};
// Image3(0..3): an L, the centred row, and an L and the row for random.
constexpr int kLayoutSketch[kLayoutPictures] = {0, 2, 1, 2};

}  // namespace

OpForm::OpForm(ListEditor& editor, std::wstring caption)
    : Dialog(IDD_OpForm), editor_(editor), caption_(std::move(caption)), model_(editor.Header().options) {}

bool OpForm::OnInit() {
  SetWindowTextW(hwnd(), caption_.c_str());
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_POS;
  si.nMin = kIntervalMin;
  si.nMax = kIntervalMax;
  si.nPos = model_.IntervalPosition();
  SetScrollInfo(Item(IDC_HScroll1), SB_CTL, &si, FALSE);
  CentreOnScreen();
  Apply();
  return true;
}

void OpForm::Apply() {
  const DisplayOptions& now = model_.Current();
  const bool repaint = shownOnce_;
  const auto invalidate = [&](int id) {
    if (repaint) InvalidateRect(Item(id), nullptr, FALSE);
  };
  if (!repaint || now.interval != shown_.interval) {
    SetScrollPos(Item(IDC_HScroll1), SB_CTL, model_.IntervalPosition(), TRUE);
  }
  // A value no button stands for leaves its group without a selection.
  for (int i = 0; i < kSchemes; ++i) SetChecked(IDC_Option1 + i, now.scheme == i);
  for (int i = 0; i < kLayouts; ++i) SetChecked(IDC_Option2 + i, now.layout == i);
  for (int i = 0; i < kOrders; ++i) SetChecked(IDC_Option3 + i, now.order == i);
  SetChecked(IDC_Check1, model_.EmphasisOn());
  for (int i = 1; i <= kLastSwatch; ++i) {
    ShowItem(IDC_Image2 + i, model_.SwatchesVisible());
    if ((now.colour == i) != (shown_.colour == i)) invalidate(IDC_Image2 + i);
  }
  if (now.scheme != shown_.scheme) {
    for (int i = 0; i < kSchemePictures; ++i) invalidate(IDC_Image1 + i);
  }
  if (now.layout != shown_.layout) {
    for (int i = 0; i < kLayoutPictures; ++i) invalidate(IDC_Image3 + i);
  }
  if (now.colour != shown_.colour || now.emphasisOn != shown_.emphasisOn) invalidate(IDC_Label2);
  shown_ = now;
  shownOnce_ = true;
}

void OpForm::Scroll(int code, int position) {
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
  Apply();
}

void OpForm::DrawSample(HDC dc, const RECT& r) {
  // Made at the control's height, so a change of DPI gives a new font.
  const int height = r.bottom - r.top;
  if (!sampleFont_ || sampleFontHeight_ != height) {
    LOGFONTW lf{};
    lf.lfHeight = -height * 4 / 5;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    kDefaultFace.copy(lf.lfFaceName, LF_FACESIZE - 1);
    sampleFont_.reset(CreateFontIndirectW(&lf));
    sampleFontHeight_ = height;
  }
  const std::wstring text = ItemText(IDC_Label2);
  SelectionRestorer font(dc, sampleFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColourOf(model_.SampleColour()));
  RECT box = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void OpForm::DrawItem(const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  const RECT& r = item.rcItem;
  HDC dc = item.hDC;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const DisplayOptions& now = model_.Current();
  if (id >= IDC_Image1 && id < IDC_Image1 + kSchemePictures) {
    const int i = id - IDC_Image1;
    DrawGroundPicture(dc, r, kBlackGround[i], now.scheme == DisplayOptionsModel::SchemeOfPicture(i));
  } else if (id >= IDC_Image3 && id < IDC_Image3 + kLayoutPictures) {
    const int i = id - IDC_Image3;
    DrawLayoutPicture(dc, r, kLayoutSketch[i], now.layout == DisplayOptionsModel::LayoutOfPicture(i));
  } else if (id > IDC_Image2 && id <= IDC_Image2 + kLastSwatch) {
    const int i = id - IDC_Image2;
    DrawSwatch(dc, r, ColourOf(i), now.colour == i);
  } else if (id == IDC_Label2) {
    DrawSample(dc, r);
  }
}

bool OpForm::OnCommand(int id, int code, HWND control) {
  const bool click = code == STN_CLICKED || code == STN_DBLCLK;  // fast repeated clicks arrive as double clicks
  if (id >= IDC_Option1 && id < IDC_Option1 + kSchemes) {
    if (code == BN_CLICKED) model_.SetScheme(static_cast<std::int16_t>(id - IDC_Option1));
  } else if (id >= IDC_Option2 && id < IDC_Option2 + kLayouts) {
    if (code == BN_CLICKED) model_.SetLayout(static_cast<std::int16_t>(id - IDC_Option2));
  } else if (id >= IDC_Option3 && id < IDC_Option3 + kOrders) {
    if (code == BN_CLICKED) model_.SetOrder(static_cast<std::int16_t>(id - IDC_Option3));
  } else if (id == IDC_Check1) {
    if (code == BN_CLICKED) model_.SetEmphasisOn(Checked(IDC_Check1));
  } else if (id >= IDC_Image1 && id < IDC_Image1 + kSchemePictures) {
    if (click) model_.ClickSchemePicture(id - IDC_Image1);
  } else if (id >= IDC_Image3 && id < IDC_Image3 + kLayoutPictures) {
    if (click) model_.ClickLayoutPicture(id - IDC_Image3);
  } else if (id > IDC_Image2 && id <= IDC_Image2 + kLastSwatch) {
    if (click) model_.SetColour(static_cast<std::int16_t>(id - IDC_Image2));
  } else if (id == IDOK) {
    outcome_ = editor_.WriteOptions(model_.Result());
    End(IDOK);
    return true;
  } else {
    return Dialog::OnCommand(id, code, control);
  }
  Apply();
  return true;
}

bool OpForm::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) != Item(IDC_HScroll1)) return false;
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
  OpForm options(editor, Trim(PathText(editor.Path().filename())) + L" のオプション");
  services.RunDialog(options, owner);
  return options.Outcome();
}

}  // namespace zor::win

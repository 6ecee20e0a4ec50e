#include "win/options/opt2.h"

#include <algorithm>
#include <utility>

#include "core/screen/palette.h"
#include "win/common/handles.h"
#include "win/common/palette_colours.h"
#include "win/options/opt2_ids.h"
#include "win/options/seldir.h"

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
  // Shape1: the frame, a line inside the control's edge.
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

Opt2::Opt2(DialogServices& services, ProfileStore& store, std::filesystem::path programFolder)
    : Dialog(IDD_Opt2),
      services_(services),
      store_(store),
      programFolder_(std::move(programFolder)),
      model_(LoadSettings(store, programFolder_)) {}

bool Opt2::OnInit() {
  for (int i = 0; i < kStretchChoices; ++i) {
    tips_.Add(hwnd(), Item(IDC_Image1 + i), kStretchTips[i]);
    tips_.Add(hwnd(), Item(IDC_Image2 + i), kStretchTips[i]);
  }
  Apply();
  CentreOnScreen();
  return true;
}

void Opt2::Apply() {
  const ImageOptionsView& view = model_.View();
  CheckRadioButton(hwnd(), IDC_Option3, IDC_Option3 + kPlacementChoices - 1, IDC_Option3 + view.placement);
  CheckRadioButton(hwnd(), IDC_Option1, IDC_Option1 + kIntervalChoices - 1, IDC_Option1 + view.interval);
  SetChecked(IDC_Check1, view.colourByName);
  SetItemText(IDC_Label3_1, view.bgHeading);
  SetItemText(IDC_Label2_1, view.bgPath);
  SetItemText(IDC_Label2_2, view.itPath);
  if (shownOnce_) {
    // Only the two frames that change are painted again.
    if (view.bgStretch != shown_.bgStretch) {
      InvalidateRect(Item(IDC_Image1 + shown_.bgStretch), nullptr, FALSE);
      InvalidateRect(Item(IDC_Image1 + view.bgStretch), nullptr, FALSE);
    }
    if (view.itStretch != shown_.itStretch) {
      InvalidateRect(Item(IDC_Image2 + shown_.itStretch), nullptr, FALSE);
      InvalidateRect(Item(IDC_Image2 + view.itStretch), nullptr, FALSE);
    }
  }
  shown_ = view;
  shownOnce_ = true;
}

void Opt2::Choose(ChooserMode mode) {
  if (const auto written = RunPictureFolderChooser(services_, hwnd(), store_, programFolder_, mode)) {
    model_.SourcesWritten(*written);
  }
}

void Opt2::Save(HWND reportOwner) {
  if (saved_) return;
  saved_ = true;
  outcome_ = model_.Save(store_);
  if (!outcome_.ok()) services_.Warn(reportOwner, outcome_.message());
}

bool Opt2::OnCommand(int id, int code, HWND control) {
  const bool click = code == STN_CLICKED || code == STN_DBLCLK;  // fast repeated clicks arrive as double clicks
  if (id >= IDC_Option3 && id < IDC_Option3 + kPlacementChoices) {
    if (code == BN_CLICKED) model_.SelectPlacement(id - IDC_Option3);
  } else if (id >= IDC_Option1 && id < IDC_Option1 + kIntervalChoices) {
    if (code == BN_CLICKED) model_.SelectInterval(id - IDC_Option1);
  } else if (id >= IDC_Image1 && id < IDC_Image1 + kStretchChoices) {
    if (click) model_.ClickBackgroundStretch(id - IDC_Image1);
  } else if (id >= IDC_Image2 && id < IDC_Image2 + kStretchChoices) {
    if (click) model_.ClickIntervalStretch(id - IDC_Image2);
  } else if (id == IDC_Check1) {
    if (code == BN_CLICKED) model_.SetColourByName(Checked(IDC_Check1));
  } else if (id == IDC_Command3) {
    if (code == BN_CLICKED) Choose(ChooserMode::kBackground);
  } else if (id == IDC_Command2) {
    if (code == BN_CLICKED) Choose(ChooserMode::kInterval);
  } else if (id == IDOK || id == IDCANCEL) {
    // OK, Esc and the close box (which arrives as IDCANCEL) all save.
    tips_.Destroy();
    Save(hwnd());
    End(id);
    return true;
  } else {
    return Dialog::OnCommand(id, code, control);
  }
  Apply();
  return true;
}

bool Opt2::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  const int id = static_cast<int>(item.CtlID);
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const ImageOptionsView& view = model_.View();
  if (id >= IDC_Image1 && id < IDC_Image1 + kStretchChoices) {
    DrawStretchPicture(item.hDC, item.rcItem, id - IDC_Image1, view.bgStretch == id - IDC_Image1);
  } else if (id >= IDC_Image2 && id < IDC_Image2 + kStretchChoices) {
    DrawStretchPicture(item.hDC, item.rcItem, id - IDC_Image2, view.itStretch == id - IDC_Image2);
  }
  *result = TRUE;
  return true;
}

void Opt2::OnClose() {
  tips_.Destroy();
  // Destroyed without a command (its owner went first): still saved, the
  // failure reported without an owner that is going away.
  Save(nullptr);
}

Settings RunImageOptions(DialogServices& services, HWND owner, ProfileStore& store,
                         const std::filesystem::path& programFolder) {
  Opt2 options(services, store, programFolder);
  services.RunDialog(options, owner);
  return options.Stored();
}

}  // namespace zor::win

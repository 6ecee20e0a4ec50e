#include "win/options/font_date_options_dialog.h"

#include "win/common/faces.h"
#include "win/options/font_chooser.h"
#include "win/options/font_date_options_dialog_ids.h"

namespace zor::win {

namespace {

constexpr wchar_t kSampleText[] = L"あいう アイウ 永字 Aa";
constexpr wchar_t kMissingText[] = L"（このフォントはインストールされていません）";

// The face at the largest size whose sample line fits the control.
UniqueFont SampleFont(HWND sample, const std::wstring& face, bool bold) {
  RECT r{};
  GetClientRect(sample, &r);
  LOGFONTW lf{};
  lf.lfHeight = -(r.bottom - r.top) * 3 / 4;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  UniqueFont font(CreateFontIndirectW(&lf));
  WindowDc dc(sample);
  SIZE extent{};
  const int room = (r.right - r.left) * 9 / 10;
  {
    SelectionRestorer select(dc.get(), font.get());
    if (!font || !GetTextExtentPoint32W(dc.get(), kSampleText, static_cast<int>(wcslen(kSampleText)), &extent)) {
      return font;
    }
  }
  if (extent.cx <= room) return font;
  lf.lfHeight = static_cast<LONG>(static_cast<long long>(lf.lfHeight) * room / extent.cx);
  return UniqueFont(CreateFontIndirectW(&lf));
}

}  // namespace

FontDateOptionsDialog::FontDateOptionsDialog(DialogServices& services, ProfileStore& store)
    : SaveOnCloseDialog(IDD_FONT_DATE_OPTIONS, services),
      store_(store),
      model_(FontDateSettings::From(LoadSettings(store, {}))) {}

bool FontDateOptionsDialog::OnInit() {
  ShowModel();
  CentreOnScreen();
  return true;
}

void FontDateOptionsDialog::ShowModel() {
  const FontDateView& view = model_.View();
  SetItemText(IDC_FACE_NAME, view.face);
  SetChecked(IDC_BOLD, view.bold);
  CheckRadioButton(hwnd(), IDC_DECORATION, IDC_DECORATION + kDecorationChoices - 1, IDC_DECORATION + view.decoration);
  CheckRadioButton(hwnd(), IDC_YEAR_STYLE, IDC_YEAR_STYLE + kYearStyleChoices - 1, IDC_YEAR_STYLE + view.yearStyle);
  SetChecked(IDC_FORMAL_NUMERALS, view.formalNumerals);
  if (!sampleMade_ || view.face != shown_.face || view.bold != shown_.bold) ShowSample(view);
  shown_ = view;
}

void FontDateOptionsDialog::ShowSample(const FontDateView& view) {
  sampleMade_ = true;
  HWND sample = Item(IDC_FACE_SAMPLE);
  UniqueFont font;
  {
    WindowDc screen(nullptr);
    if (const auto listed = ListedFace(screen.get(), view.face)) font = SampleFont(sample, *listed, view.bold);
  }
  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  SendMessageW(sample, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font.get() : dialogFont), FALSE);
  sampleFont_ = std::move(font);
  SetItemText(IDC_FACE_SAMPLE, sampleFont_ ? kSampleText : kMissingText);
  InvalidateRect(sample, nullptr, TRUE);
}

void FontDateOptionsDialog::ChooseFace() {
  if (const auto chosen = RunFontChooser(Services(), hwnd(), store_)) model_.FaceWritten(*chosen);
}

Status FontDateOptionsDialog::Save() { return model_.Save(store_); }

bool FontDateOptionsDialog::ToModel(int id, int code) {
  const bool clicked = code == BN_CLICKED;
  if (id >= IDC_DECORATION && id < IDC_DECORATION + kDecorationChoices) {
    if (clicked) model_.SelectDecoration(id - IDC_DECORATION);
  } else if (id >= IDC_YEAR_STYLE && id < IDC_YEAR_STYLE + kYearStyleChoices) {
    if (clicked) model_.SelectYearStyle(id - IDC_YEAR_STYLE);
  } else if (id == IDC_BOLD) {
    if (clicked) model_.SetBold(Checked(IDC_BOLD));
  } else if (id == IDC_FORMAL_NUMERALS) {
    if (clicked) model_.SetFormalNumerals(Checked(IDC_FORMAL_NUMERALS));
  } else if (id == IDC_CHANGE_FACE) {
    if (clicked) ChooseFace();
  } else {
    return false;
  }
  return true;
}

FontDateSettings RunFontDateOptions(DialogServices& services, HWND owner, ProfileStore& store) {
  FontDateOptionsDialog options(services, store);
  services.RunDialog(options, owner);
  return options.Stored();
}

}  // namespace zor::win

#include "core/screen/page_frame.h"

namespace zor {

namespace {

// The part of a path after its last "\", ":" or "/".
std::wstring_view FileTitle(std::wstring_view path) {
  const std::size_t cut = path.find_last_of(L"\\:/");
  return cut == std::wstring_view::npos ? path : path.substr(cut + 1);
}

constexpr std::int16_t kTrue = -1;

}  // namespace

void GroundColourStep(FrameState& state, const BackgroundSettings& settings, bool testDisplay, Surface& surface,
                      bool& invertColours) {
  const bool backgroundCarriesOver =
      settings.intervalMode != 0 ? !state.intervalJustShown : (state.displayTick != 0 && settings.backgroundMode != 0);
  if (!state.schemeLocked && !testDisplay && backgroundCarriesOver) {
    invertColours = surface.BackColour() == PaletteColour(kPaletteWhite);
  }
  state.schemeLocked = false;

  if (settings.backgroundMode != 0 && settings.schemeByFileName == kTrue) {
    const std::wstring_view title = FileTitle(state.backgroundFile);
    const wchar_t first = title.empty() ? L'\0' : title.front();
    if (first == L'0' || first == L'1') {
      invertColours = first == L'1';
      state.schemeLocked = settings.intervalMode != 0 ? !state.intervalJustShown : state.displayTick == 2;
    }
  }

  const Rgb ground = PaletteColour(invertColours ? kPaletteWhite : kPaletteBlack);
  if (surface.BackColour() != ground) {
    surface.SetBackColour(ground);
    surface.Clear();
  }
}

void PageFrame::Begin(bool testDisplay, bool& invertColours) {
  surface_.Clear();
  state_.backgroundFile = pictures_.ChooseBackgroundFile(state_);
  GroundColourStep(state_, settings_, testDisplay, surface_, invertColours);
  state_.pendingCorner = pictures_.PaintBackground(state_.backgroundFile);
  if (!testDisplay) stopwatch_.Start();
  state_.intervalJustShown = false;
}

void PageFrame::PaintPendingCorner(TextPlace place, float horizontalBand, float verticalBand) {
  if (!state_.pendingCorner) return;
  pictures_.PaintBackgroundCorner(state_.backgroundFile, place, horizontalBand, verticalBand);
  state_.pendingCorner = false;
  surface_.Refresh();
}

void PageFrame::WaitBeforeText(bool testDisplay) {
  if (!testDisplay) stopwatch_.WaitSince(kBackgroundAloneMs);
}

void PageFrame::Finish(TextPlace place, bool invertColours) {
  const PointSize label = surface_.CreditLabelSize();
  if (place == TextPlace::kBottomLeft) {
    surface_.PlaceCreditLabel(surface_.ScaleWidth() - label.width, 0.0f, TypeColour(invertColours));
  } else {
    surface_.PlaceCreditLabel(5.0f, surface_.ScaleHeight() - 1.25f * label.height, TypeColour(invertColours));
  }
  surface_.Refresh();
}

}  // namespace zor

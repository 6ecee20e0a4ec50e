#include "core/screen/recording_surface.h"

#include "core/screen/points_and_pixels.h"

#include <algorithm>
#include <cmath>

#include "core/text/cp932.h"

namespace zor {

namespace {

std::string ColourText(Rgb c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }

bool StartsWithAt(std::wstring_view face) { return !face.empty() && face.front() == L'@'; }

}  // namespace

RecordingSurface::RecordingSurface(float widthPixels, float heightPixels, float twipsPerPixelX, float twipsPerPixelY)
    : scaleWidth_(PixelsToPoints(widthPixels, twipsPerPixelX)),
      scaleHeight_(PixelsToPoints(heightPixels, twipsPerPixelY)),
      tppx_(twipsPerPixelX),
      tppy_(twipsPerPixelY) {}

int RecordingSurface::Count(std::string_view event) const {
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

void RecordingSurface::SetBackColour(Rgb colour) {
  back_ = colour;
  Note("back " + ColourText(colour));
}

bool RecordingSurface::FaceInstalled(std::wstring_view face) { return !missingFaces.contains(std::wstring(face)); }

void RecordingSurface::ReportMissingFace(std::wstring_view message) {
  reportedMessages.emplace_back(message);
  Note("missing face");
}

void RecordingSurface::SelectFont(const FontSpec& font) {
  selected_ = font;
  fontsSelected.push_back(font);
  Note("font");
}

TextExtent RecordingSurface::MeasureText(const FontSpec& font, std::wstring_view caption) {
  captions.emplace_back(caption);
  Note("measure");
  const auto& overrides = StartsWithAt(font.face) ? verticalEms : horizontalEms;
  float ems = 0.0f;
  for (wchar_t ch : caption) {
    if (const auto it = overrides.find(ch); it != overrides.end()) {
      ems += it->second;
    } else {
      ems += Cp932Length(std::wstring_view(&ch, 1)) == 2 ? 1.0f : halfEm;
    }
  }
  const float given = sizeStep > 0.0f ? std::floor(font.size / sizeStep) * sizeStep : font.size;
  return {ems * given + extraPerCharacter * static_cast<float>(caption.size()), given};
}

void RecordingSurface::Print(float x, float y, std::wstring_view text) {
  prints.push_back({x, y, std::wstring(text), fore_, selected_});
  Note("print");
}

bool RecordingSurface::LoadPicture(const std::filesystem::path& file, const PictureUse& use) {
  loaded.push_back(file);
  uses.push_back(use);
  Note("load");
  return pictureSize.width > 0.0f && pictureSize.height > 0.0f;
}

void RecordingSurface::PaintPicture(const Rect& sourcePixels, const Rect& destination) {
  pictures.push_back({sourcePixels, destination});
  Note("picture");
}

void RecordingSurface::PlaceCreditLabel(float left, float top, Rgb colour) {
  creditLeft = left;
  creditTop = top;
  creditColour = colour;
  ++creditPlacements;
  Note("credit");
}

void ManualClock::Advance(std::int32_t ms) {
  now_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(now_) + static_cast<std::uint32_t>(ms));
}

void ManualClock::Wait(std::int32_t ms) {
  waits.push_back(ms);
  Advance(std::clamp(ms, 0, waitStep));
}

int ScriptedRandom::Rand(int n) {
  asked.push_back(n);
  if (n < 1 || values_.empty()) return 0;
  const int v = values_.front();
  values_.pop_front();
  return ((v % n) + n) % n;
}

}  // namespace zor

// A surface that draws nothing and records everything, with a fixed measurer,
// and a manual clock and scripted random source to go with it: the renderers
// run on them natively and every coordinate can be checked exactly.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/screen/surface.h"

namespace zor {

struct RecordedPrint {
  float x = 0.0f;
  float y = 0.0f;
  std::wstring text;
  Rgb colour{};
  FontSpec font;
};

struct RecordedPicture {
  Rect source;
  Rect destination;
};

class RecordingSurface final : public Surface {
 public:
  // A drawing area of widthPixels × heightPixels at the given twips per pixel.
  RecordingSurface(float widthPixels, float heightPixels, float twipsPerPixelX = 15.0f, float twipsPerPixelY = 15.0f);

  // The measurer: a character is 1 em wide when its CP932 form takes two
  // bytes, halfEm otherwise, unless an override gives its width in ems
  // (separately for "@" faces). The size given is the size asked for,
  // unless sizeStep > 0 rounds it down to a multiple of sizeStep.
  float halfEm = 0.5f;
  std::map<wchar_t, float> horizontalEms;
  std::map<wchar_t, float> verticalEms;
  float sizeStep = 0.0f;
  // Points added to every character's width, as whole pixels add to type of
  // a few pixels: the width then no longer scales with the size.
  float extraPerCharacter = 0.0f;

  // The em-box drop in ems of the font's size, and the characters the "@"
  // faces have no vertical form of.
  float emBoxDrop = 0.0f;
  std::set<std::wstring> noVerticalForm;

  std::set<std::wstring> missingFaces;
  PointSize creditLabel{60.0f, 12.0f};
  PointSize pictureSize{0.0f, 0.0f};

  // What happened, in order: "clear", "back R,G,B", "refresh", "font",
  // "print", "measure", "credit", "load", "picture", "missing face" — plus
  // whatever a test appends through Note.
  std::vector<std::string> events;
  std::vector<RecordedPrint> prints;
  std::vector<FontSpec> fontsSelected;
  std::vector<std::wstring> captions;
  std::vector<std::wstring> reportedMessages;
  std::vector<RecordedPicture> pictures;
  std::vector<std::filesystem::path> loaded;
  std::vector<std::filesystem::path> prefetched;
  std::vector<PictureUse> uses;  // of each load and prefetch, in order
  float creditLeft = 0.0f;
  float creditTop = 0.0f;
  Rgb creditColour{};
  int creditPlacements = 0;

  void Note(std::string event) { events.push_back(std::move(event)); }
  [[nodiscard]] int Count(std::string_view event) const;
  [[nodiscard]] const FontSpec& SelectedFont() const noexcept { return selected_; }

  [[nodiscard]] float ScaleWidth() const override { return scaleWidth_; }
  [[nodiscard]] float ScaleHeight() const override { return scaleHeight_; }
  [[nodiscard]] float TwipsPerPixelX() const override { return tppx_; }
  [[nodiscard]] float TwipsPerPixelY() const override { return tppy_; }
  [[nodiscard]] Rgb ForeColour() const override { return fore_; }
  void SetForeColour(Rgb colour) override { fore_ = colour; }
  [[nodiscard]] Rgb BackColour() const override { return back_; }
  void SetBackColour(Rgb colour) override;
  void Clear() override { Note("clear"); }
  [[nodiscard]] bool FaceInstalled(std::wstring_view face) override;
  void ReportMissingFace(std::wstring_view message) override;
  void SelectFont(const FontSpec& font) override;
  [[nodiscard]] TextExtent MeasureText(const FontSpec& font, std::wstring_view caption) override;
  [[nodiscard]] float EmBoxDrop(const FontSpec& font) override { return emBoxDrop * font.size; }
  [[nodiscard]] bool HasVerticalForm(const FontSpec&, std::wstring_view ch) override {
    return noVerticalForm.find(std::wstring(ch)) == noVerticalForm.end();
  }
  void Print(float x, float y, std::wstring_view text) override;
  [[nodiscard]] bool LoadPicture(const std::filesystem::path& file, const PictureUse& use) override;
  void PrefetchPicture(const std::filesystem::path& file, const PictureUse& use) override {
    prefetched.push_back(file);
    uses.push_back(use);
    Note("prefetch");
  }
  [[nodiscard]] PointSize PictureSizePixels() const override { return pictureSize; }
  void PaintPicture(const Rect& sourcePixels, const Rect& destination) override;
  [[nodiscard]] PointSize CreditLabelSize() const override { return creditLabel; }
  void PlaceCreditLabel(float left, float top, Rgb colour) override;
  void Refresh() override { Note("refresh"); }

 private:
  float scaleWidth_;
  float scaleHeight_;
  float tppx_;
  float tppy_;
  Rgb fore_{0, 0, 0};
  Rgb back_{0, 0, 0};
  FontSpec selected_;
};

// Time passes only when the code under test waits.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::int32_t start = 1000) : now_(start) {}
  [[nodiscard]] std::int32_t TickCount() override { return now_; }
  void Wait(std::int32_t ms) override;
  void Advance(std::int32_t ms);

  // Each wait asked for, in order, and the largest step a wait takes.
  std::vector<std::int32_t> waits;
  std::int32_t waitStep = 1 << 30;

 private:
  std::int32_t now_;
};

// Returns the scripted values in turn (each taken modulo n), then 0.
class ScriptedRandom final : public RandomSource {
 public:
  ScriptedRandom() = default;
  explicit ScriptedRandom(std::vector<int> values) : values_(values.begin(), values.end()) {}
  [[nodiscard]] int Rand(int n) override;
  std::vector<int> asked;

 private:
  std::deque<int> values_;
};

}  // namespace zor

// The image options as their dialog shows and stores them: background
// placement and scaling, interval pictures and their scaling, the colour
// taken from the file name, and the captions of the two picture sources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/data/settings.h"
#include "core/data/status.h"
#include "core/options/font_date_options.h"

namespace zor {

inline constexpr std::wstring_view kFileHeading = L"参照画像ファイル：";
inline constexpr std::wstring_view kFolderHeading = L"参照フォルダ：";

// Where pictures come from: the settings the folder chooser writes.
struct PictureSources {
  std::wstring backgroundFolder;
  std::wstring backgroundSingleFile;
  std::int16_t backgroundFromFile = 0;  // -1: the single file; 0: the folder
  std::wstring intervalFolder;

  [[nodiscard]] static PictureSources From(const Settings& s);
  void CopyTo(Settings& s) const;
  bool operator==(const PictureSources&) const = default;
};

// What the dialog shows.
struct ImageOptionsView {
  std::int16_t placement = 0;
  std::int16_t interval = 0;
  std::int16_t bgStretch = 0;  // the framed picture of the background strip
  std::int16_t itStretch = 0;  // the framed picture of the interval strip
  bool colourByName = false;
  std::wstring bgHeading;  // "参照画像ファイル：" or "参照フォルダ："
  std::wstring bgPath;     // shortened
  std::wstring itPath;     // shortened
  bool operator==(const ImageOptionsView&) const = default;
};

class ImageOptionsModel {
 public:
  // A stored index that no choice stands for is shown on the nearest
  // choice, and so written back as that choice when the dialog closes.
  explicit ImageOptionsModel(const Settings& stored);

  [[nodiscard]] const ImageOptionsView& View() const { return view_; }
  // The settings in memory: those read, then each one written.
  [[nodiscard]] const Settings& Stored() const { return stored_; }

  // Indexes outside the choices are taken as the nearest choice.
  void SelectPlacement(int index);
  void SelectInterval(int index);
  void ClickBackgroundStretch(int index);
  void ClickIntervalStretch(int index);
  void SetColourByName(bool on) { view_.colourByName = on; }
  // The chooser has written new sources: shown, and held in memory.
  void SourcesWritten(const PictureSources& sources);

  // What closing writes, in this order: "BgBMP", "ItBMP", "BgBMPStr",
  // "ItBMPStr", "BWbyFN". The sources are not among them; the chooser writes them.
  [[nodiscard]] std::vector<SettingValue> Writes() const;
  // Writes them all; memory takes each value whose write succeeded. The
  // first failure is returned (the later keys are still tried).
  [[nodiscard]] Status Save(ProfileStore& store);

 private:
  void ShowSources();
  // The settings as the dialog shows them.
  [[nodiscard]] Settings Shown() const;

  Settings stored_;
  ImageOptionsView view_;
};

}  // namespace zor

#include "core/options/image_options.h"

#include "core/data/settings_schema.h"
#include "core/text/measures.h"

namespace zor {

namespace {

// The keys closing writes, in their order.
constexpr SettingKey kClosingKeys[] = {SettingKey::kBgBmp, SettingKey::kItBmp, SettingKey::kBgBmpStr,
                                       SettingKey::kItBmpStr, SettingKey::kBwByFn};

}  // namespace

PictureSources PictureSources::From(const Settings& s) {
  return {s.backgroundFolder, s.backgroundSingleFile, s.backgroundFromFile, s.intervalFolder};
}

void PictureSources::CopyTo(Settings& s) const {
  s.backgroundFolder = backgroundFolder;
  s.backgroundSingleFile = backgroundSingleFile;
  s.backgroundFromFile = backgroundFromFile;
  s.intervalFolder = intervalFolder;
}

ImageOptionsModel::ImageOptionsModel(const Settings& stored) : stored_(stored) {
  view_.placement = NearestChoice(SettingKey::kBgBmp, stored_.backgroundMode);
  view_.interval = NearestChoice(SettingKey::kItBmp, stored_.intervalMode);
  view_.bgStretch = NearestChoice(SettingKey::kBgBmpStr, stored_.backgroundStretch);
  view_.itStretch = NearestChoice(SettingKey::kItBmpStr, stored_.intervalStretch);
  view_.colourByName = stored_.schemeByFileName != 0;
  ShowSources();
}

void ImageOptionsModel::ShowSources() {
  const bool file = stored_.backgroundFromFile == -1;
  view_.bgHeading = file ? kFileHeading : kFolderHeading;
  view_.bgPath = ShortenPath(Trim(file ? stored_.backgroundSingleFile : stored_.backgroundFolder));
  view_.itPath = ShortenPath(Trim(stored_.intervalFolder));
}

void ImageOptionsModel::SelectPlacement(int index) { view_.placement = NearestChoice(SettingKey::kBgBmp, index); }
void ImageOptionsModel::SelectInterval(int index) { view_.interval = NearestChoice(SettingKey::kItBmp, index); }
void ImageOptionsModel::ClickBackgroundStretch(int index) { view_.bgStretch = NearestChoice(SettingKey::kBgBmpStr, index); }
void ImageOptionsModel::ClickIntervalStretch(int index) { view_.itStretch = NearestChoice(SettingKey::kItBmpStr, index); }

void ImageOptionsModel::SourcesWritten(const PictureSources& sources) {
  sources.CopyTo(stored_);
  ShowSources();
}

Settings ImageOptionsModel::Shown() const {
  Settings shown = stored_;
  shown.backgroundMode = view_.placement;
  shown.intervalMode = view_.interval;
  shown.backgroundStretch = view_.bgStretch;
  shown.intervalStretch = view_.itStretch;
  shown.schemeByFileName = view_.colourByName ? std::int16_t{-1} : std::int16_t{0};
  return shown;
}

std::vector<SettingValue> ImageOptionsModel::Writes() const {
  const Settings shown = Shown();
  std::vector<SettingValue> writes;
  for (const SettingKey key : kClosingKeys) writes.push_back({SpecOf(key).name, shown.*SpecOf(key).number});
  return writes;
}

Status ImageOptionsModel::Save(ProfileStore& store) { return SaveSettings(store, kClosingKeys, Shown(), stored_).status; }

}  // namespace zor

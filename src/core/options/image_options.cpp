#include "core/options/image_options.h"

#include "core/data/settings_schema.h"
#include "core/text/measures.h"

namespace zor {

namespace {

// The keys closing writes, in their order.
constexpr SettingKey kClosingKeys[] = {SettingKey::kBgBmp, SettingKey::kItBmp, SettingKey::kBgBmpStr,
                                       SettingKey::kItBmpStr, SettingKey::kBwByFn};

}  // namespace

PictureSources PictureSources::From(const Settings& s) { return {s.bgBmpDir, s.bgBmpBmp, s.bgBmpDorB, s.itBmpDir}; }

void PictureSources::CopyTo(Settings& s) const {
  s.bgBmpDir = bgDir;
  s.bgBmpBmp = bgFile;
  s.bgBmpDorB = bgFileChosen;
  s.itBmpDir = itDir;
}

ImageOptionsModel::ImageOptionsModel(const Settings& stored) : stored_(stored) {
  view_.placement = NearestChoice(SettingKey::kBgBmp, stored_.bgBmp);
  view_.interval = NearestChoice(SettingKey::kItBmp, stored_.itBmp);
  view_.bgStretch = NearestChoice(SettingKey::kBgBmpStr, stored_.bgBmpStr);
  view_.itStretch = NearestChoice(SettingKey::kItBmpStr, stored_.itBmpStr);
  view_.colourByName = stored_.bwByFn != 0;
  ShowSources();
}

void ImageOptionsModel::ShowSources() {
  const bool file = stored_.bgBmpDorB == -1;
  view_.bgHeading = file ? kFileHeading : kFolderHeading;
  view_.bgPath = ShortenPath(Trim(file ? stored_.bgBmpBmp : stored_.bgBmpDir));
  view_.itPath = ShortenPath(Trim(stored_.itBmpDir));
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
  shown.bgBmp = view_.placement;
  shown.itBmp = view_.interval;
  shown.bgBmpStr = view_.bgStretch;
  shown.itBmpStr = view_.itStretch;
  shown.bwByFn = view_.colourByName ? std::int16_t{-1} : std::int16_t{0};
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

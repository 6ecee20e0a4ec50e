#include "core/options/image_options.h"

#include <algorithm>

#include "core/text/measures.h"

namespace zor {

namespace {

std::int16_t Nearest(int index, std::int16_t choices) {
  return static_cast<std::int16_t>(std::clamp(index, 0, choices - 1));
}

}  // namespace

PictureSources PictureSources::From(const Settings& s) { return {s.bgBmpDir, s.bgBmpBmp, s.bgBmpDorB, s.itBmpDir}; }

void PictureSources::CopyTo(Settings& s) const {
  s.bgBmpDir = bgDir;
  s.bgBmpBmp = bgFile;
  s.bgBmpDorB = bgFileChosen;
  s.itBmpDir = itDir;
}

ImageOptionsModel::ImageOptionsModel(const Settings& stored) : stored_(stored) {
  view_.placement = Nearest(stored_.bgBmp, kPlacementChoices);
  view_.interval = Nearest(stored_.itBmp, kIntervalChoices);
  view_.bgStretch = Nearest(stored_.bgBmpStr, kStretchChoices);
  view_.itStretch = Nearest(stored_.itBmpStr, kStretchChoices);
  view_.colourByName = stored_.bwByFn != 0;
  ShowSources();
}

void ImageOptionsModel::ShowSources() {
  const bool file = stored_.bgBmpDorB == -1;
  view_.bgHeading = file ? kFileHeading : kFolderHeading;
  view_.bgPath = ShortenPath(Trim(file ? stored_.bgBmpBmp : stored_.bgBmpDir));
  view_.itPath = ShortenPath(Trim(stored_.itBmpDir));
}

void ImageOptionsModel::SelectPlacement(int index) { view_.placement = Nearest(index, kPlacementChoices); }
void ImageOptionsModel::SelectInterval(int index) { view_.interval = Nearest(index, kIntervalChoices); }
void ImageOptionsModel::ClickBackgroundStretch(int index) { view_.bgStretch = Nearest(index, kStretchChoices); }
void ImageOptionsModel::ClickIntervalStretch(int index) { view_.itStretch = Nearest(index, kStretchChoices); }

void ImageOptionsModel::SourcesWritten(const PictureSources& sources) {
  sources.CopyTo(stored_);
  ShowSources();
}

std::vector<SettingValue> ImageOptionsModel::Writes() const {
  return {{L"BgBMP", view_.placement},
          {L"ItBMP", view_.interval},
          {L"BgBMPStr", view_.bgStretch},
          {L"ItBMPStr", view_.itStretch},
          {L"BWbyFN", view_.colourByName ? std::int16_t{-1} : std::int16_t{0}}};
}

Status ImageOptionsModel::Save(ProfileStore& store) {
  std::int16_t Settings::*const members[] = {&Settings::bgBmp, &Settings::itBmp, &Settings::bgBmpStr,
                                             &Settings::itBmpStr, &Settings::bwByFn};
  const std::vector<SettingValue> writes = Writes();
  Status first;
  for (std::size_t i = 0; i < writes.size(); ++i) {
    Status s = WriteSetting(store, writes[i].key, writes[i].value);
    if (s.ok()) {
      stored_.*members[i] = writes[i].value;
    } else if (first.ok()) {
      first = std::move(s);
    }
  }
  return first;
}

}  // namespace zor

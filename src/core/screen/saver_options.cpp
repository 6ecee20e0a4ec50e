#include "core/screen/saver_options.h"

namespace zor {

SaverOptions SaverOptionsOf(const RegistrationHeader& header, const Settings& settings) {
  SaverOptions o;
  SequencerOptions& q = o.sequence;
  q.count = header.MessageCount();
  q.interval = header.options.interval;
  q.scheme = header.options.scheme;
  q.order = header.options.order;
  q.layout = header.options.layout;
  q.emphasis.on = header.options.emphasisOn != 0;
  q.emphasis.colour = header.options.colour;
  q.formalKanji = settings.formalKanji != 0;
  q.unitYear = settings.dateYearStyle == 1;
  q.backgroundMode = settings.backgroundMode;
  q.intervalMode = settings.intervalMode;

  o.draw.typeFace = settings.typeFace;
  o.draw.boldType = settings.boldType != 0;
  o.draw.decorationStyle = settings.decorationStyle;

  PictureSettings& p = o.pictures;
  p.frame.backgroundMode = settings.backgroundMode;
  p.frame.schemeByFileName = settings.schemeByFileName;
  p.frame.intervalMode = settings.intervalMode;
  p.backgroundStretch = settings.backgroundStretch;
  p.backgroundFromFile = settings.backgroundFromFile;
  p.backgroundFolder = settings.backgroundFolder;
  p.backgroundSingleFile = settings.backgroundSingleFile;
  p.intervalStretch = settings.intervalStretch;
  p.intervalFolder = settings.intervalFolder;
  return o;
}

}  // namespace zor

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
  q.kanS = settings.kanS != 0;
  q.unitYear = settings.seireki == 1;
  q.bgBmp = settings.bgBmp;
  q.itBmp = settings.itBmp;

  o.draw.useFont = settings.useFont;
  o.draw.useFontBold = settings.useFontBold != 0;
  o.draw.decoFont = settings.decoFont;

  PictureSettings& p = o.pictures;
  p.frame.bgBmp = settings.bgBmp;
  p.frame.bwByFn = settings.bwByFn;
  p.frame.itBmp = settings.itBmp;
  p.bgBmpStr = settings.bgBmpStr;
  p.bgBmpDorB = settings.bgBmpDorB;
  p.bgBmpDir = settings.bgBmpDir;
  p.bgBmpBmp = settings.bgBmpBmp;
  p.itBmpStr = settings.itBmpStr;
  p.itBmpDir = settings.itBmpDir;
  return o;
}

}  // namespace zor

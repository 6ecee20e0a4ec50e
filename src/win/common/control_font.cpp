#include "win/common/control_font.h"

namespace zor::win {

HFONT ControlFont::For(int height) {
  if (!font_ || height_ != height) {
    LOGFONTW lf{};
    lf.lfHeight = -height * 4 / 5;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    face_.copy(lf.lfFaceName, LF_FACESIZE - 1);
    font_.reset(CreateFontIndirectW(&lf));
    height_ = height;
  }
  return font_.get();
}

}  // namespace zor::win

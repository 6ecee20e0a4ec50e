// The six layout thumbnails of the message list editor: the selected message
// drawn by the title-card renderers on a small off-screen page.
#pragma once

#include <windows.h>

#include <string>

#include "core/data/message_format.h"
#include "core/data/registration_file.h"
#include "core/data/settings.h"
#include "core/screen/card_inputs.h"
#include "win/common/handles.h"

namespace zor::win {

// Index 0..5 = "A" on black, "B" on black, "A" on white, "B" on white, "C" on
// black, "C" on white (TestThumbnail in core/screen/sequencer.h).
inline constexpr int kThumbnailCount = 6;

struct ThumbnailInputs {
  std::wstring text;         // the selected message, trimmed; "\date" and "\time" are expanded here
  MessageFormat format;      // its stored format bytes (the layout byte is not used: the thumbnail decides)
  RegistrationHeader header;  // the file's emphasis flag and colour
  Settings settings;          // font face, bold, decoration, numerals
};

// Thumbnail index at width × height pixels as a 32-bit top-down DIB section.
// The page has the ground colour only (no pictures, no credit label); a
// message emphasised at random always gets the same character. A face that
// is not installed gives DrawLayoutSketch instead (no message box). Empty
// when the index or size is out of range or memory runs out.
[[nodiscard]] UniqueBitmap RenderThumbnail(const ThumbnailInputs& in, int index, int width, int height);

// A plain drawing of thumbnail index's layout and ground: blocks where the
// characters go.
[[nodiscard]] UniqueBitmap DrawLayoutSketch(int index, int width, int height);

}  // namespace zor::win

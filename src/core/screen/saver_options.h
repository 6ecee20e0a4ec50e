// What the saver draws with, made from a registration file's header and the
// settings: the one reading of both used by the saver, the settings dialog's
// thumbnails and zortool render.
#pragma once

#include "core/data/registration_file.h"
#include "core/data/settings.h"
#include "core/screen/card_inputs.h"
#include "core/screen/sequencer.h"

namespace zor {

struct SaverOptions {
  SequencerOptions sequence;  // the header's display options, numerals, year style, picture modes
  DrawSettings draw;          // face, bold, decoration
  PictureSettings pictures;   // every picture key
};

// The count is the header's (0..500); the saver caps it further at the
// records its file holds.
[[nodiscard]] SaverOptions SaverOptionsOf(const RegistrationHeader& header, const Settings& settings);

}  // namespace zor

// Reduction of decoded pictures as their rows come: the size a picture is
// kept at for a screen, decoded rows as 32-bit pixels (0x00RRGGBB), and area
// averaging in one pass, in one band or two side by side. The pieces callers
// use, each from its own header.
#pragma once

#include "core/screen/banded_shrinker.h"
#include "core/screen/decoded_row.h"
#include "core/screen/pixel_size.h"
#include "core/screen/row_shrinker.h"
#include "core/screen/shrink_policy.h"

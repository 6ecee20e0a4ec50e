// Control ids of the type-face chooser.
#pragma once

#define IDD_FONT_CHOOSER 240
#define IDC_FACE_LIST 3301

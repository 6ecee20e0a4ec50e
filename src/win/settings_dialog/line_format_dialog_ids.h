// Control ids of the line format dialog.
#pragma once

#define IDD_LINE_FORMAT 120
#define IDC_FIXED_LAYOUT_GROUP 1301
#define IDC_RANDOM_EMPHASIS 1302
#define IDC_AUTO_FOLD 1303
// Fixed layout options 0..3: none, top-right L, bottom-left L, centred.
#define IDC_FIXED_LAYOUT 1310
// The layout pictures beside options 1..3.
#define IDC_FIXED_LAYOUT_PICTURE 1320
// Character cells (0..31) and fold-marker cells (0..31).
#define IDC_CHARACTER_CELL 1400
#define IDC_FOLD_CELL 1440

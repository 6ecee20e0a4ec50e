// Control ids of the display options dialog.
#pragma once

#define IDD_DISPLAY_OPTIONS 200
#define IDC_INTERVAL_BAR 2001
#define IDC_EMPHASIS_ON 2002
#define IDC_EMPHASIS_SAMPLE 2003
#define IDC_INTERVAL_BAR_GROUP 2004
// Radio groups: colour schemes (0..3), layouts (0..2), order (0..1).
#define IDC_SCHEME 2010
#define IDC_LAYOUT 2020
#define IDC_ORDER 2030
// Colour-scheme pictures (0..6) and layout pictures (0..3).
#define IDC_SCHEME_PICTURE 2040
#define IDC_LAYOUT_PICTURE 2050
// The emphasis colour swatches (1..14), IDC_EMPHASIS_SWATCH + colour index.
#define IDC_EMPHASIS_SWATCH 2060

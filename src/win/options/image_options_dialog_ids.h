// Control ids of the image options dialog.
#pragma once

#define IDD_IMAGE_OPTIONS 250
#define IDC_BACKGROUND_GROUP 3401
#define IDC_INTERVAL_GROUP 3402
// Radio groups: background placement (0..4), interval pictures (0..2).
#define IDC_BACKGROUND_PLACEMENT 3410
#define IDC_INTERVAL_MODE 3420
// Stretch pictures (0..3) of the background and of the interval pictures;
// each draws its own frame.
#define IDC_BACKGROUND_STRETCH 3430
#define IDC_INTERVAL_STRETCH 3440
// The two sources and their headings.
#define IDC_BACKGROUND_SOURCE 3451
#define IDC_INTERVAL_SOURCE 3452
#define IDC_BACKGROUND_SOURCE_CAPTION 3453
#define IDC_INTERVAL_SOURCE_CAPTION 3454
#define IDC_CHANGE_BACKGROUND_SOURCE 3460
#define IDC_CHANGE_INTERVAL_SOURCE 3461
#define IDC_COLOUR_BY_FILE_NAME 3462

// Control ids of the picture folder chooser.
#pragma once

#define IDD_PICTURE_FOLDER_CHOOSER 260
#define IDC_DRIVE_LIST 3501
#define IDC_FOLDER_LIST 3502
// The folder the folder list shows.
#define IDC_FOLDER_PATH 3503
#define IDC_FILE_LIST 3504
#define IDC_CHOOSE_FILE 3505
// "ビュワー".
#define IDC_OPEN_VIEWER 3506
// A small picture of the selected file.
#define IDC_PICTURE_PREVIEW 3507

// Control ids of the picture folder chooser.
#pragma once

#define IDD_seldir 260
#define IDC_Drive1 3501
#define IDC_Dir1 3502
// The folder the folder list shows.
#define IDC_DirPath 3503
#define IDC_File1 3504
#define IDC_Check1 3505
// "ビュワー".
#define IDC_Command3 3506
// A small picture of the selected file.
#define IDC_Preview 3507
// Command1 is IDOK, Command2 IDCANCEL.

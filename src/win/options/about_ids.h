// Control ids of the version box.
#pragma once

#define IDD_About 220
#define IDC_Label1 3101
#define IDC_Label2 3102
#define IDC_Label3 3103
// Image3(1): the program's icon.
#define IDC_Image3_1 3104
// Command1 is IDOK.

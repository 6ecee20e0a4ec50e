// Control ids of the import option dialog.
#pragma once

#define IDD_Opt2C 210
#define IDC_Frame1 3001
#define IDC_Check1 3002
// Command4 is IDOK.

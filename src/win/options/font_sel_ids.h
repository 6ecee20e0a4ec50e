// Control ids of the type-face chooser.
#pragma once

#define IDD_FontSel 240
#define IDC_List1 3301
// Command1 is IDOK, Command2 IDCANCEL.

// Control ids of the version box.
#pragma once

#define IDD_VERSION_BOX 220
#define IDC_VERSION_TEXT 3101
#define IDC_MAIL_LINK 3102
#define IDC_COPYRIGHT 3103
// The program's icon.
#define IDC_PROGRAM_ICON 3104

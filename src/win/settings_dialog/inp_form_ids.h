// Control ids of the message entry form.
#pragma once

#define IDD_InpForm 110
#define IDC_Label1_0 1201
#define IDC_Label1_1 1202
#define IDC_Text1 1203
// Command1 is IDOK, Command2 IDCANCEL.

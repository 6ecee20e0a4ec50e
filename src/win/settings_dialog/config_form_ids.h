// Control ids of the message list editor.
#pragma once

#define IDD_ConfigForm 100
#define IDR_ConfigMenu 101

#define IDC_List1 1001
#define IDC_Text1 1002
#define IDC_Label1 1003
#define IDC_Label2 1004
#define IDC_Label3 1005
#define IDC_Label4 1006
#define IDC_Command1 1011
#define IDC_Command2 1012
#define IDC_Command3 1013
#define IDC_Command4 1014
#define IDC_Command5 1015
#define IDC_Command6 1016
#define IDC_Command7 1017
#define IDC_Command8 1018
#define IDC_Command9 1019
// Image1(0..5): the layout thumbnails.
#define IDC_Image1 1020

// Menu items.
#define IDM_Mn2_N 1101
#define IDM_Mn2_K 1102
#define IDM_Mn2_I 1103
#define IDM_Mn2_e 1104
#define IDM_Mn2_h 1105
#define IDM_Mn_o 1106
#define IDM_Mn_Opt2a 1107
#define IDM_Mn_Opt2b 1108
#define IDM_Mn_opt2c 1109
#define IDM_Mn2_C 1110
#define IDM_Mn2_A 1111

// Control ids of the font and date options dialog.
#pragma once

#define IDD_Opt2B 230
#define IDC_Frame1 3201
#define IDC_Frame2 3202
// Label2(0): the face in use.
#define IDC_Label2 3203
#define IDC_Command1 3204
// A line of text in the face in use.
#define IDC_Sample 3205
#define IDC_Check1 3206
#define IDC_Check2 3207
// The captions "装飾文字" and "西暦表示".
#define IDC_Label1 3208
#define IDC_Label3 3209
// Option1(0..3): decorations; Option3(0..1): year styles.
#define IDC_Option1 3210
#define IDC_Option3 3220
// Command4 is IDOK.

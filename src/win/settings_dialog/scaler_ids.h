// Control ids of the line format dialog.
#pragma once

#define IDD_Scaler 120
#define IDC_Frame1 1301
#define IDC_Check1 1302
#define IDC_Check2 1303
// Option2(0..3): fixed layout none, top-right L, bottom-left L, centred.
#define IDC_Option2 1310
// Image3(0..2): the layout pictures beside Option2(1..3).
#define IDC_Image3 1320
// Label1(0..31): character cells; Image1(0..31): fold-marker cells.
#define IDC_Label1 1400
#define IDC_Image1 1440

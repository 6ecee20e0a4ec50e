// Control ids of the display options dialog.
#pragma once

#define IDD_OpForm 200
#define IDC_HScroll1 2001
#define IDC_Check1 2002
#define IDC_Label2 2003
// Option1(0..3): colour schemes; Option2(0..2): layouts; Option3(0..1): order.
#define IDC_Option1 2010
#define IDC_Option2 2020
#define IDC_Option3 2030
// Image1(0..6): colour-scheme pictures; Image3(0..3): layout pictures.
#define IDC_Image1 2040
#define IDC_Image3 2050
// Image2(1..14): the emphasis colour swatches, IDC_Image2 + colour index.
#define IDC_Image2 2060
// Command4 is IDOK, Command1 IDCANCEL.

// Control ids of the image options dialog.
#pragma once

#define IDD_Opt2 250
#define IDC_Frame1 3401
#define IDC_Frame2 3402
// Option3(0..4): background placement; Option1(0..2): interval pictures.
#define IDC_Option3 3410
#define IDC_Option1 3420
// Image1(0..3): background scaling; Image2(0..3): interval scaling. Each
// picture draws its own frame (Shape1).
#define IDC_Image1 3430
#define IDC_Image2 3440
// Label2(1), Label2(2): the sources; Label3(1), Label3(2): their headings.
#define IDC_Label2_1 3451
#define IDC_Label2_2 3452
#define IDC_Label3_1 3453
#define IDC_Label3_2 3454
#define IDC_Command3 3460
#define IDC_Command2 3461
#define IDC_Check1 3462
// Command4 is IDOK.

// Control ids of the font and date options dialog.
#pragma once

#define IDD_FONT_DATE_OPTIONS 230
#define IDC_FONT_GROUP 3201
#define IDC_DATE_GROUP 3202
// The face in use.
#define IDC_FACE_NAME 3203
#define IDC_CHANGE_FACE 3204
// A line of text in the face in use.
#define IDC_FACE_SAMPLE 3205
#define IDC_BOLD 3206
#define IDC_FORMAL_NUMERALS 3207
// The captions "装飾文字" and "西暦表示".
#define IDC_DECORATION_CAPTION 3208
#define IDC_YEAR_STYLE_CAPTION 3209
// Radio groups: decorations (0..3), year styles (0..1).
#define IDC_DECORATION 3210
#define IDC_YEAR_STYLE 3220

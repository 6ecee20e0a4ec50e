// Pictures of the display options dialog, drawn at the size of their control.
#pragma once

#include <windows.h>

namespace zor::win {

// A colour-scheme picture: a small page, black with white type or white with
// black type, the type a short centred row; its frame in the highlight
// colour and thicker when the option it stands for is selected.
void DrawGroundPicture(HDC dc, const RECT& r, bool blackGround, bool selected);

// An emphasis colour swatch: the colour inside a frame one line wide, two
// when it is the chosen colour.
void DrawSwatch(HDC dc, const RECT& r, COLORREF colour, bool chosen);

}  // namespace zor::win

// Pictures of the settings dialogs drawn at any size: the fold markers and
// layout pictures of the line format dialog and the list's drag cursor.
#pragma once

#include <windows.h>

namespace zor::win {

inline constexpr int kMarkerPictureCount = 6;
inline constexpr int kLayoutPictureCount = 3;

// Fold marker picture 0..5, centred in r on what the DC already shows:
// 0 a plain triangle pointing up, 1 nothing, 2 kind "A" (arrow pointing left
// from a bar on the right, large "B"), 3 kind "B" (arrow right from a bar on
// the left, "B"), 4 kind "C" (arrow left, small "s"), 5 kind "D" (arrow
// right, "s"). Any other number draws nothing.
void DrawFoldMarker(HDC dc, const RECT& r, int picture);

// The marker picture of a fold kind byte: 'A' 2, 'B' 3, 'C' 4, 'D' 5,
// anything else (a blank, 0x00) 0.
[[nodiscard]] int MarkerPictureOfKind(char kind) noexcept;

// Layout picture 0 "Ｌ字（右上）", 1 "Ｌ字（左下）", 2 "中央": a small page with
// the characters' place sketched, in the highlight colour when selected.
void DrawLayoutPicture(HDC dc, const RECT& r, int which, bool selected);

// The list's drag cursor: an arrow carrying a row. The caller destroys it
// with DestroyCursor; null on failure.
[[nodiscard]] HCURSOR CreateDragCursor();

}  // namespace zor::win

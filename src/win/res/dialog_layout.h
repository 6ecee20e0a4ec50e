// Shared layout of the dialogs, in dialog units (96 DPI design; the system
// scales dialogs with the monitor's DPI). Every dialog's .rc takes its
// margins and its OK/Cancel buttons from here.
#pragma once

#define ZOR_MARGIN 7
#define ZOR_GAP 4
#define ZOR_BUTTON_W 56
// The OK and Cancel of the entry, line format and face dialogs.
#define ZOR_NARROW_BUTTON_W 54
#define ZOR_BUTTON_H 15
#define ZOR_LINE_H 10
#define ZOR_EDIT_H 13

#define ZOR_DIALOG_STYLE (DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU)
#define ZOR_DIALOG_FONT 9, "MS Shell Dlg", 400, 0, 0x80

// The right and bottom margins of a dialog w × h, and the width between
// its side margins.
#define ZOR_RIGHT(w) ((w) - ZOR_MARGIN)
#define ZOR_BOTTOM(h) ((h) - ZOR_MARGIN)
#define ZOR_INNER_W(w) ((w) - 2 * ZOR_MARGIN)

// A push button at (x, y) of the standard size.
#define ZOR_BUTTON(text, id, x, y) PUSHBUTTON text, id, x, y, ZOR_BUTTON_W, ZOR_BUTTON_H
#define ZOR_DEFBUTTON(text, id, x, y) DEFPUSHBUTTON text, id, x, y, ZOR_BUTTON_W, ZOR_BUTTON_H

// OK alone at the bottom right of a dialog w × h, beginning a tab group.
#define ZOR_OK(w, h)                                                                                        \
  DEFPUSHBUTTON "OK", IDOK, ZOR_RIGHT(w) - ZOR_BUTTON_W, ZOR_BOTTOM(h) - ZOR_BUTTON_H, ZOR_BUTTON_W, ZOR_BUTTON_H, \
      WS_GROUP | WS_TABSTOP

// OK and Cancel side by side, each bw wide and gap apart, the pair's right
// edge at right and its bottom at bottom, with the buttons' own styles.
#define ZOR_OK_CANCEL_AT(right, bottom, bw, gap, okStyle, cancelStyle)                                   \
  DEFPUSHBUTTON "OK", IDOK, (right) - 2 * (bw) - (gap), (bottom) - ZOR_BUTTON_H, bw, ZOR_BUTTON_H, okStyle \
  PUSHBUTTON "Cancel", IDCANCEL, (right) - (bw), (bottom) - ZOR_BUTTON_H, bw, ZOR_BUTTON_H, cancelStyle

// OK and Cancel of the standard size at the bottom right of a dialog w × h.
#define ZOR_OK_CANCEL(w, h)                                                                                   \
  ZOR_DEFBUTTON("OK", IDOK, ZOR_RIGHT(w) - 2 * ZOR_BUTTON_W - ZOR_GAP, ZOR_BOTTOM(h) - ZOR_BUTTON_H) \
  ZOR_BUTTON("Cancel", IDCANCEL, ZOR_RIGHT(w) - ZOR_BUTTON_W, ZOR_BOTTOM(h) - ZOR_BUTTON_H)

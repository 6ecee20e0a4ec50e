// Shared layout of the dialogs, in dialog units (96 DPI design; the system
// scales dialogs with the monitor's DPI).
#pragma once

#define ZOR_MARGIN 7
#define ZOR_GAP 4
#define ZOR_BUTTON_W 56
#define ZOR_BUTTON_H 15
#define ZOR_LINE_H 10
#define ZOR_EDIT_H 13

#define ZOR_DIALOG_STYLE (DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU)
#define ZOR_DIALOG_FONT 9, "MS Shell Dlg", 400, 0, 0x80

// A push button at (x, y) of the standard size.
#define ZOR_BUTTON(text, id, x, y) PUSHBUTTON text, id, x, y, ZOR_BUTTON_W, ZOR_BUTTON_H
#define ZOR_DEFBUTTON(text, id, x, y) DEFPUSHBUTTON text, id, x, y, ZOR_BUTTON_W, ZOR_BUTTON_H

// OK and Cancel at the bottom right of a dialog w × h.
#define ZOR_OK_CANCEL(w, h)                                                                          \
  ZOR_DEFBUTTON("OK", IDOK, (w) - ZOR_MARGIN - 2 * ZOR_BUTTON_W - ZOR_GAP, (h) - ZOR_MARGIN - ZOR_BUTTON_H) \
  ZOR_BUTTON("Cancel", IDCANCEL, (w) - ZOR_MARGIN - ZOR_BUTTON_W, (h) - ZOR_MARGIN - ZOR_BUTTON_H)

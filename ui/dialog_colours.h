#pragma once
// The application-wide dialog colours: every window of the program, message
// boxes included, has this background and text colour.

#include "ui/gdi_drawing.h"

constexpr COLORREF DIALOG_BK_COLOUR = RGB(249, 249, 249);
constexpr COLORREF DIALOG_TEXT_COLOUR = RGB(0, 0, 0);

// Needs the application object to exist.
void SetDialogBkColor(COLORREF clrCtlBk = DIALOG_BK_COLOUR,
                      COLORREF clrCtlText = DIALOG_TEXT_COLOUR);

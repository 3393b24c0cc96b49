#pragma once
// The main window's fixed pixel layout: where every control goes, in client
// coordinates, and the window size. Positions and size are logical pixels:
// Qt scales the whole window by the screen's scale factor, so nothing here
// depends on the screen.

#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

struct ControlPlacement {
    int nID;
    // Held 2 pixels right of and below the control's place; the control is
    // put at (x - 2, y - 2).
    QPoint pt;
    QRect rcSize; // (0, 0, width, height)
};

// In the order the controls are placed.
inline constexpr int LAYOUT_ROWS = 15;
extern const ControlPlacement g_layoutTable[LAYOUT_ROWS];

// The client area. A window of 645 x (614 + 32 per 96 DPI) with a fixed
// frame and a caption has this client area; here the window manager draws
// frame and caption outside it, so only the client area is set. The preview
// and the scroll bar fill the width; the scroll bar's last row, 612, lies one
// row above the client's last, and the panel's right ring at x = 641 falls
// just outside.
constexpr int MAIN_CLIENT_WIDTH = 641;
constexpr int MAIN_CLIENT_HEIGHT = 614;

// The layout pass: shows the logo, places every control of the table (looked
// up with getDlgItem; a missing one is skipped) and sizes the window's client
// area, keeping its top-left corner. The window cannot be resized afterwards.
void ApplyControlLayout(QWidget& window, const std::function<QWidget*(int)>& getDlgItem);

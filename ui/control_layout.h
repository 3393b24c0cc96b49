#pragma once
// The main window's fixed pixel layout: where every control goes, in client
// coordinates, and the window size. No position depends on the screen; only
// the window's height grows with the screen's vertical DPI.

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

constexpr int MAIN_WINDOW_WIDTH = 645;

// 614 plus 32 pixels per 96 dots per inch of the screen's vertical
// resolution, integer division: 646 at 96 DPI, 654 at 120, 662 at 144.
int MainWindowHeight(int nLogPixelsY);

// The screen's vertical resolution in dots per inch, as the window system
// reports it for `window`'s screen (the primary screen when it has none).
int GetLogPixelsY(const QWidget* window);

// The layout pass: shows the logo, places every control of the table (looked
// up with getDlgItem; a missing one is skipped) and sizes the window's client
// area, keeping its top-left corner. The window cannot be resized afterwards.
void ApplyControlLayout(QWidget& window, const std::function<QWidget*(int)>& getDlgItem,
                        int nLogPixelsY);

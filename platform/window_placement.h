#pragma once
// Where a top-level window first appears: in the middle of its screen's
// available area with its whole frame, caption included, on the screen, at
// every scale. Qt's own centring guesses the frame and, where the window is
// nearly as tall as the screen, ends with the caption above the top edge,
// where the window can no longer be dragged.

class QWidget;

// Call before the window is first shown. The position is corrected once
// more when the window manager has framed the window and the real frame is
// known; after that the window is the user's to move.
void PlaceWindowOnScreen(QWidget& window);

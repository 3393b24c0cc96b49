#pragma once
// The resolution button: three bitmaps (normal, hover, pressed) for each of the
// three capture modes, showing the set of the current mode, whose label names
// the resolution. The capture side reads and changes m_nResolution, a plain
// mode number (0 = 640x480, 1 = 320x240, 2 = "1.3M"); the button knows no
// more of the modes than that.

#include "platform/win_types.h"
#include "ui/image_static.h"

class CResolutionButton : public CImageStatic {
    Q_OBJECT

public:
    explicit CResolutionButton(QWidget* parent = nullptr);

    // Normal, hover and pressed id of mode 0, then of mode 1, then of mode 2.
    // A negative hover or pressed id stands for that mode's normal image.
    BOOL LoadBitmaps(int idNormal0, int idHover0, int idPressed0, int idNormal1, int idHover1,
                     int idPressed1, int idNormal2, int idHover2, int idPressed2);

    void ShowIdleImage() override;

    // Set by the owner right after LoadBitmaps; any value other than 0 and 1
    // shows the "1.3M" set.
    int m_nResolution = 0;
    // Mode 0 normal, hover, pressed; mode 1 ...; mode 2 ...
    QPixmap m_bmp[9];

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    enum { IMG_NORMAL = 0, IMG_HOVER = 1, IMG_PRESSED = 2 };
    const QPixmap& ImageOfMode(int nLook) const;
    // The hover picture after a move or a release over the button.
    void OnLButtonUp(QMouseEvent* event);
};

#pragma once
// A push button drawn entirely from four bitmaps: normal, hover, pressed and
// disabled. It only changes its picture; what a click does is the owner's
// (the click arrives as the control's command). Hover is not tracked beyond
// the moves the button itself receives: the owner puts the idle picture back
// when the pointer moves over its own area.

#include "platform/win_types.h"
#include "ui/image_static.h"

class CSkinButton : public CImageStatic {
    Q_OBJECT

public:
    explicit CSkinButton(QWidget* parent = nullptr);

    // A negative hover, pressed or disabled id stands for the normal image,
    // loaded once more; such a fallback does not count towards the result.
    // TRUE when every image that was asked for loaded.
    BOOL LoadBitmaps(int idNormal, int idHover, int idPressed, int idDisabled);

    void ShowIdleImage() override;
    void ShowDisabledImage();

    // Set by the owner while the button is to look disabled.
    BOOL m_bDisabledLook = FALSE;
    QPixmap m_bmpNormal;
    QPixmap m_bmpHover;
    QPixmap m_bmpPressed;
    QPixmap m_bmpDisabled;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // The hover picture after a move or a release over the button.
    void OnLButtonUp(QMouseEvent* event);
};

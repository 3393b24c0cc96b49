#include "ui/resolution_button.h"

#include "ui/skin_resources.h"

#include <QMouseEvent>

CResolutionButton::CResolutionButton(QWidget* parent) : CImageStatic(parent) {}

BOOL CResolutionButton::LoadBitmaps(int idNormal0, int idHover0, int idPressed0, int idNormal1,
                                    int idHover1, int idPressed1, int idNormal2, int idHover2,
                                    int idPressed2) {
    const int ids[9] = {idNormal0,  idHover0,  idPressed0, idNormal1, idHover1,
                        idPressed1, idNormal2, idHover2,   idPressed2};
    BOOL bResult = TRUE;
    for (int nMode = 0; nMode < 3; ++nMode) {
        const int idNormal = ids[nMode * 3];
        bResult = LoadBitmapResource(m_bmp[nMode * 3], idNormal) && bResult;
        for (int nLook = IMG_HOVER; nLook <= IMG_PRESSED; ++nLook) {
            const int id = ids[nMode * 3 + nLook];
            if (id < 0)
                LoadBitmapResource(m_bmp[nMode * 3 + nLook], idNormal);
            else
                bResult = LoadBitmapResource(m_bmp[nMode * 3 + nLook], id) && bResult;
        }
    }
    return bResult;
}

const QPixmap& CResolutionButton::ImageOfMode(int nLook) const {
    // Modes 0 and 1 have their own set; every other value shows set 2.
    const int nSet = m_nResolution == 0 || m_nResolution == 1 ? m_nResolution : 2;
    return m_bmp[nSet * 3 + nLook];
}

void CResolutionButton::ShowIdleImage() {
    SetImage(ImageOfMode(IMG_NORMAL));
}

void CResolutionButton::mousePressEvent(QMouseEvent* event) {
    // Pressed picture first: the owner opens the resolution menu while the
    // click is reported, and the button looks pressed while the menu is open.
    if (event->button() == Qt::LeftButton)
        SetImage(ImageOfMode(IMG_PRESSED));
    CImageStatic::mousePressEvent(event);
}

void CResolutionButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event);
    CImageStatic::mouseReleaseEvent(event);
}

void CResolutionButton::mouseMoveEvent(QMouseEvent* event) {
    OnLButtonUp(event);
    CImageStatic::mouseMoveEvent(event);
}

void CResolutionButton::OnLButtonUp(QMouseEvent* event) {
    // Moves and the release that follow a press elsewhere leave the picture.
    if (rect().contains(event->position().toPoint()))
        SetImage(ImageOfMode(IMG_HOVER));
}

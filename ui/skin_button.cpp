#include "ui/skin_button.h"

#include "ui/skin_resources.h"

#include <QMouseEvent>

#include <utility>

CSkinButton::CSkinButton(QWidget* parent) : CImageStatic(parent) {}

BOOL CSkinButton::LoadBitmaps(int idNormal, int idHover, int idPressed, int idDisabled) {
    BOOL bResult = LoadBitmapResource(m_bmpNormal, idNormal);
    for (auto [pBitmap, id] : {std::pair{&m_bmpHover, idHover}, std::pair{&m_bmpPressed, idPressed},
                               std::pair{&m_bmpDisabled, idDisabled}}) {
        if (id < 0)
            LoadBitmapResource(*pBitmap, idNormal);
        else
            bResult = LoadBitmapResource(*pBitmap, id) && bResult;
    }
    return bResult;
}

void CSkinButton::ShowIdleImage() {
    SetImage(m_bDisabledLook ? m_bmpDisabled : m_bmpNormal);
}

void CSkinButton::ShowDisabledImage() {
    SetImage(m_bmpDisabled);
}

void CSkinButton::mousePressEvent(QMouseEvent* event) {
    // The picture changes before the click is reported, so the button looks
    // pressed for as long as the owner's handling of the click lasts.
    if (event->button() == Qt::LeftButton)
        SetImage(m_bmpPressed);
    CImageStatic::mousePressEvent(event);
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event);
    CImageStatic::mouseReleaseEvent(event);
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event) {
    OnLButtonUp(event);
    CImageStatic::mouseMoveEvent(event);
}

void CSkinButton::OnLButtonUp(QMouseEvent* event) {
    // A pressed button keeps receiving the moves and the release after the
    // pointer has left it; those happen elsewhere and change nothing here.
    if (rect().contains(event->position().toPoint()))
        SetImage(m_bmpHover);
}

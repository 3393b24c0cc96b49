#include "ui/image_static.h"

#include "ui/resource_ids.h"

#include <QMouseEvent>

CImageStatic::CImageStatic(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetNotifyStyle(false);
}

void CImageStatic::SetNotifyStyle(bool bNotify) {
    m_bNotify = bNotify;
    setAttribute(Qt::WA_TransparentForMouseEvents, !bNotify);
    // Hover images follow every move, not only moves with a button held.
    setMouseTracking(bNotify);
}

void CImageStatic::SetImage(const QPixmap& image) {
    m_imgShown = image;
    setPixmap(image);
}

void CImageStatic::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (m_bNotify && event->button() == Qt::LeftButton)
        emit Command(m_nID, STN_CLICKED);
}

void CImageStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is not a click: the owner acts on
    // STN_CLICKED only, so a double-click counts once.
    event->accept();
    if (m_bNotify && event->button() == Qt::LeftButton)
        emit Command(m_nID, STN_DBLCLK);
}

void CImageStatic::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void CImageStatic::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

#include "ui/image_static.h"

#include "ui/resource_ids.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CImageStatic::CImageStatic(QWidget* parent) : QFrame(parent) {
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
    update();
}

void CImageStatic::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event); // the border, for a control that has one
    if (m_imgShown.isNull())
        return;
    // At 100 % and 200 % the picture's pixels map one to one onto the
    // screen's. At scales in between they do not; filtering then keeps the
    // edges even, where picking the nearest pixel would double some rows.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPointF(contentsRect().topLeft()), m_imgShown);
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

void CImageStatic::SendLeftButton(QEvent::Type type) {
    const QPointF middle(width() / 2.0, height() / 2.0);
    QMouseEvent event(type, middle, mapToGlobal(middle), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(this, &event);
}

void CImageStatic::Click() {
    if (!m_bNotify || !isEnabled())
        return;
    SendLeftButton(QEvent::MouseButtonPress);
    SendLeftButton(QEvent::MouseButtonRelease);
}

void CImageStatic::keyPressEvent(QKeyEvent* event) {
    if (m_bNotify && event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        event->accept();
        // A held key presses once.
        if (!event->isAutoRepeat())
            SendLeftButton(QEvent::MouseButtonPress);
        return;
    }
    QFrame::keyPressEvent(event);
}

void CImageStatic::keyReleaseEvent(QKeyEvent* event) {
    if (m_bNotify && event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (!event->isAutoRepeat()) {
            SendLeftButton(QEvent::MouseButtonRelease);
            ShowIdleImage();
        }
        return;
    }
    QFrame::keyReleaseEvent(event);
}

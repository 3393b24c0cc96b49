#pragma once
// An image static control: shows one picture, set from outside. With the
// notify style it takes mouse input and reports a left-button press to its
// owner at once, as a command carrying its control id; without it the control
// is transparent to the mouse and the window below gets the events.

#include <QEvent>
#include <QFrame>
#include <QPixmap>

class CImageStatic : public QFrame {
    Q_OBJECT

public:
    explicit CImageStatic(QWidget* parent = nullptr);

    void SetControlId(int nID) { m_nID = nID; }
    int GetDlgCtrlID() const { return m_nID; }

    void SetNotifyStyle(bool bNotify);

    // The control shows this picture from now on; an empty one shows nothing.
    void SetImage(const QPixmap& image);
    // The picture shown now (for the owner and for tests).
    QPixmap GetImage() const { return m_imgShown; }

    // A click from elsewhere than the mouse (a screen reader's press): the
    // control goes through the same press and release as under the pointer.
    void Click();
    // The picture of a control at rest; the skin buttons show theirs. A key
    // press ends on it, as no pointer rests over the control afterwards.
    virtual void ShowIdleImage() {}

signals:
    // nCode is STN_CLICKED for a press, STN_DBLCLK for the second press of a
    // double-click.
    void Command(int nID, int nCode);

protected:
    // The default processing of the mouse messages: the notification. Every
    // mouse event is taken here so none reaches the window below the control.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Space on a focused control with the notify style is a left-button press
    // and release in its middle: the pictures and the command are the mouse's.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // The picture at its logical size from the top-left corner, inside the
    // border if there is one.
    void paintEvent(QPaintEvent* event) override;

private:
    void SendLeftButton(QEvent::Type type);

    int m_nID = 0;
    bool m_bNotify = false;
    QPixmap m_imgShown;
};

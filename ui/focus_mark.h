#pragma once
// The keyboard focus made visible on the skinned window: a ring in the
// system's highlight colour around the focused control, or around the whole
// strip when the strip has the focus. It lies over the gaps between the
// controls and is hidden while none of them has the focus, so the window's
// own pixels stay as they are for the mouse user.

#include <QList>
#include <QPointer>
#include <QWidget>

class CFocusMark : public QWidget {
    Q_OBJECT

public:
    explicit CFocusMark(QWidget& window);

    // `target` shows the ring around `area` (window coordinates) while it
    // has the focus.
    void Mark(QWidget* target, QRect area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Follow(QWidget* focused);

    struct Marked {
        QPointer<QWidget> target;
        QRect area;
    };
    QList<Marked> m_marked;
};

#pragma once
// The thumbnail strip's scroll bar and cells. Each posts a copy of every
// key-down it receives (auto-repeats included) to the main window, which
// handles it after the control's own processing as if the key had been
// pressed on the main window itself. Key-ups and text are not forwarded.

#include "ui/image_static.h"
#include "ui/thumb_cell.h"

#include <QScrollBar>

class QImage;

// The main window, set at the start of its initialisation and cleared when it
// goes away; while it is null nothing is forwarded.
extern QWidget* g_pMainDlg;

class CKeyForwardScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit CKeyForwardScrollBar(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    // Left and Up step towards the start, Right and Down towards the end, as
    // on the platform's scroll bar: Qt's horizontal bar swaps Left and Right.
    void keyPressEvent(QKeyEvent* event) override;
};

// A thumbnail cell: shows one 72 x 54 picture, or the empty look (the panel's
// grey) while no photo occupies it.
class CKeyForwardStatic : public CImageStatic, public IThumbCell {
    Q_OBJECT

public:
    explicit CKeyForwardStatic(QWidget* parent = nullptr);

    // Shows `picture` as it is; an empty picture gives the empty look.
    void ShowPicture(const QImage& picture) override;
    QSize CellSize() const override { return size(); }
    void ShowEmpty();

protected:
    bool event(QEvent* event) override;
};

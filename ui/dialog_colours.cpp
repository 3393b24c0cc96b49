#include "ui/dialog_colours.h"

#include <QApplication>
#include <QPalette>

void SetDialogBkColor(COLORREF clrCtlBk, COLORREF clrCtlText) {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, ToQColor(clrCtlBk));
    palette.setColor(QPalette::WindowText, ToQColor(clrCtlText));
    QApplication::setPalette(palette);
}

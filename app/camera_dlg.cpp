#include "app/camera_dlg.h"

#include "platform/message_box.h"

CCameraDlg::CCameraDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(APP_TITLE));
}

#include "app/camera_dlg.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    CCameraDlg dlg;
    dlg.exec();
    return 0;
}

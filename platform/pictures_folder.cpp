#include "platform/pictures_folder.h"

#include <QStandardPaths>

std::string GetPicturesFolder() {
    std::string path = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                           .toLocal8Bit()
                           .toStdString();
    // The root itself keeps its one separator.
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

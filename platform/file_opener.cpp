#include "platform/file_opener.h"

#include "platform/trace.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

void OpenWithDesktopViewer(const std::string& path) {
    const QUrl url =
        QUrl::fromLocalFile(QString::fromLocal8Bit(path.data(), qsizetype(path.size())));
    if (!QDesktopServices::openUrl(url))
        Trace("no viewer opened %s", path.c_str());
}

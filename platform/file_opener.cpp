#include "platform/file_opener.h"

#include "platform/trace.h"

#include <QByteArray>
#include <QDesktopServices>

QUrl LocalFileUrl(const std::string& path) {
    const QByteArray bytes(path.data(), qsizetype(path.size()));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

void OpenWithDesktopViewer(const std::string& path) {
    if (!QDesktopServices::openUrl(LocalFileUrl(path)))
        Trace("no viewer opened %s", path.c_str());
}

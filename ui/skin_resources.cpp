#include "ui/skin_resources.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The resource file is compiled into this static library; without an explicit
// reference the linker would drop its registration code from the executable.
static void InitSkinResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(skin);
        return true;
    }();
    (void)done;
}

BOOL LoadBitmapResource(QPixmap& bitmap, int id) {
    InitSkinResources();
    const int resourceId = id & 0xFFFF;
    QPixmap loaded;
    if (!loaded.load(QStringLiteral(":/bitmaps/%1.png").arg(resourceId))) {
        bitmap = QPixmap();
        return FALSE;
    }
    bitmap = loaded;
    return TRUE;
}

QIcon LoadIconResource(int id) {
    InitSkinResources();
    QIcon icon;
    for (int size : ICON_IMAGE_SIZES) {
        const QString path = QStringLiteral(":/icons/%1_%2.png").arg(id).arg(size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

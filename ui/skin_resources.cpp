#include "ui/skin_resources.h"

#include <QFile>
#include <QGuiApplication>
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
    // On a screen scaled above 100 % the image painted at twice the size is
    // taken; its @2x name gives it a device pixel ratio of 2, so it keeps its
    // logical size and is drawn from the finer pixels.
    const bool bScaledScreen = qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0;
    QPixmap loaded;
    if (!loaded.load(QStringLiteral(":/bitmaps/%1%2.png")
                         .arg(resourceId)
                         .arg(bScaledScreen ? QStringLiteral("@2x") : QString()))) {
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

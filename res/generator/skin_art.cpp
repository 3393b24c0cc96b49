// Paints the program's skin bitmaps, logo and icons and writes them as PNG
// files (and the icon as SVG as well) into the folder given on the command line (res/ of the source
// tree):
//   skin_art <res folder>
// Every picture is painted twice from the same drawing: at its own size and,
// as name@2x.png, at twice that size for screens scaled to 200 %. Run it
// after changing a look, then commit the PNG files; the program itself only
// compiles the committed files in.

#include "app_icon.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

enum class Look { Normal, Hover, Pressed, Disabled };

struct LookColours {
    QColor faceTop, faceBottom, border, symbol;
    qreal borderWidth;
};

// Light blue-grey face with a dark symbol; bright cyan face and outline when
// the pointer is over it; a darker blue, sunken face while pressed; faded
// when disabled.
LookColours ColoursOf(Look look) {
    switch (look) {
    case Look::Hover:
        return {QColor(0xd4, 0xf8, 0xff), QColor(0x62, 0xd6, 0xf5), QColor(0x00, 0xa6, 0xdc),
                QColor(0x10, 0x2c, 0x40), 1.6};
    case Look::Pressed:
        return {QColor(0x4e, 0x72, 0xa4), QColor(0x77, 0x9b, 0xcb), QColor(0x2c, 0x4c, 0x7c),
                QColor(0xf2, 0xf7, 0xfc), 1.0};
    case Look::Disabled:
        return {QColor(0xf1, 0xf3, 0xf5), QColor(0xe2, 0xe6, 0xea), QColor(0xcb, 0xd1, 0xd8),
                QColor(0xb4, 0xbc, 0xc6), 1.0};
    case Look::Normal:
    default:
        return {QColor(0xf0, 0xf4, 0xf8), QColor(0xc6, 0xd3, 0xe1), QColor(0x84, 0x97, 0xae),
                QColor(0x22, 0x33, 0x46), 1.0};
    }
}

void DrawFace(QPainter& p, const QRectF& rc, Look look) {
    const LookColours c = ColoursOf(look);
    QLinearGradient gradient(rc.topLeft(), rc.bottomLeft());
    gradient.setColorAt(0.0, c.faceTop);
    gradient.setColorAt(1.0, c.faceBottom);
    const qreal inset = c.borderWidth / 2.0;
    const QRectF face = rc.adjusted(inset, inset, -inset, -inset);
    p.setPen(QPen(c.border, c.borderWidth));
    p.setBrush(gradient);
    p.drawRoundedRect(face, 5.0, 5.0);
    if (look == Look::Normal || look == Look::Hover) {
        // A one-pixel highlight under the top edge gives the face some depth.
        p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
        p.drawLine(QPointF(face.left() + 5, face.top() + 1.5),
                   QPointF(face.right() - 5, face.top() + 1.5));
    }
}

// Every symbol is drawn in a 40 x 30 box, centred, with `ink` on `face`.
void DrawCamera(QPainter& p, const QColor& ink, const QColor& face) {
    QPainterPath body;
    body.addRoundedRect(QRectF(9.5, 10.5, 21, 13), 2.5, 2.5);
    QPainterPath hump;
    hump.moveTo(15, 11);
    hump.lineTo(16.5, 7.5);
    hump.lineTo(23.5, 7.5);
    hump.lineTo(25, 11);
    hump.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(body.united(hump));
    p.setBrush(face);
    p.drawEllipse(QPointF(20, 17), 5.2, 5.2);
    p.setBrush(ink);
    p.drawEllipse(QPointF(20, 17), 3.2, 3.2);
    p.setBrush(face);
    p.drawEllipse(QPointF(19, 16), 1.0, 1.0);
    p.drawRect(QRectF(11.5, 12.5, 2.5, 1.5));
}

void DrawWasteBin(QPainter& p, const QColor& ink, const QColor& face) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(17, 5.5, 6, 3), 1, 1);
    p.drawRoundedRect(QRectF(12, 8, 16, 2.5), 1, 1);
    QPainterPath body;
    body.moveTo(13.5, 11.5);
    body.lineTo(26.5, 11.5);
    body.lineTo(25.3, 24.5);
    body.lineTo(14.7, 24.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(face);
    p.drawRect(QRectF(18.5, 7, 3, 1));
    for (qreal x : {16.5, 19.5, 22.5})
        p.drawRect(QRectF(x, 13.5, 1.2, 9));
}

void DrawGear(QPainter& p, const QColor& ink, const QColor& face) {
    const QPointF centre(20, 15);
    QPainterPath gear;
    gear.addEllipse(centre, 6.8, 6.8);
    const int teeth = 8;
    for (int i = 0; i < teeth; ++i) {
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.9, -10.2, 3.8, 5));
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(360.0 / teeth * i + 22.5 / 2);
        gear = gear.united(t.map(tooth));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(gear);
    p.setBrush(face);
    p.drawEllipse(centre, 3.0, 3.0);
}

using SymbolPainter = std::function<void(QPainter&, const QColor&, const QColor&)>;

// An image of width x height pixels at `scale`, painted in those pixels: the
// painter is scaled, so the drawing code keeps the 1x coordinates.
QImage Canvas(int width, int height, qreal scale, QImage::Format format, const QColor& fill) {
    QImage image(qRound(width * scale), qRound(height * scale), format);
    image.fill(fill);
    return image;
}

void BeginPainting(QPainter& p, qreal scale) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
}

QImage SkinButton(const SymbolPainter& symbol, Look look, qreal scale) {
    QImage image = Canvas(40, 30, scale, QImage::Format_ARGB32, Qt::transparent);
    QPainter p(&image);
    BeginPainting(p, scale);
    DrawFace(p, QRectF(0, 0, 40, 30), look);
    const LookColours c = ColoursOf(look);
    // The symbol moves one pixel down and right while pressed: the face
    // looks pushed in.
    if (look == Look::Pressed)
        p.translate(1, 1);
    const QColor face =
        look == Look::Pressed ? QColor(0x62, 0x86, 0xb8) : c.faceTop.toRgb().darker(104);
    symbol(p, c.symbol, face);
    return image;
}

// 24 bits, no alpha: the window's background colour fills the corners.
QImage ResolutionFace(const QString& label, Look look, qreal scale) {
    QImage image = Canvas(86, 30, scale, QImage::Format_RGB888, QColor(249, 249, 249));
    QPainter p(&image);
    BeginPainting(p, scale);
    DrawFace(p, QRectF(0, 0, 86, 30), look);
    const LookColours c = ColoursOf(look);
    const int shift = look == Look::Pressed ? 1 : 0;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(c.symbol);
    p.drawText(QRectF(4 + shift, 0 + shift, 59, 30), Qt::AlignVCenter | Qt::AlignHCenter, label);
    // Separator and drop-down arrow at the right.
    QColor line = c.border;
    line.setAlpha(150);
    p.setPen(QPen(line, 1.0));
    p.drawLine(QPointF(65.5 + shift, 7 + shift), QPointF(65.5 + shift, 23 + shift));
    p.setPen(Qt::NoPen);
    p.setBrush(c.symbol);
    QPainterPath arrow;
    arrow.moveTo(71 + shift, 13 + shift);
    arrow.lineTo(80 + shift, 13 + shift);
    arrow.lineTo(75.5 + shift, 18 + shift);
    arrow.closeSubpath();
    p.drawPath(arrow);
    return image;
}

QImage Logo(qreal scale) {
    QImage image = Canvas(75, 20, scale, QImage::Format_ARGB32, Qt::transparent);
    QPainter p(&image);
    BeginPainting(p, scale);
    // A small lens: the eye of the mark.
    QRadialGradient lens(QPointF(8, 10), 8, QPointF(6.5, 8));
    lens.setColorAt(0.0, QColor(0x9b, 0xf0, 0xff));
    lens.setColorAt(0.55, QColor(0x1d, 0x9b, 0xd8));
    lens.setColorAt(1.0, QColor(0x17, 0x3f, 0x72));
    p.setPen(Qt::NoPen);
    p.setBrush(lens);
    p.drawEllipse(QPointF(9, 10), 7.5, 7.5);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(QPointF(6.8, 7.6), 1.7, 1.7);
    // The name as an outline, narrowed where needed so that its slanted last
    // letter ends inside the image at every scale.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    font.setItalic(true);
    QPainterPath name;
    name.addText(0, 0, font, QStringLiteral("nimbrel"));
    const QRectF bounds = name.boundingRect();
    const QRectF room(19.5, 2, 54.5, 16);
    const qreal narrowing = std::min(1.0, room.width() / bounds.width());
    QTransform place;
    place.translate(room.left(), room.center().y() - bounds.center().y());
    place.scale(narrowing, 1.0);
    place.translate(-bounds.left(), 0);
    p.setBrush(QColor(0x2a, 0x3b, 0x50));
    p.drawPath(place.map(name));
    return image;
}

// The program icon: a round webcam head with a big lens on a small stand,
// on transparency (app_icon.cpp draws it).
QImage AppIcon(int size, qreal scale) {
    return PaintIcon(AppIconDrawing(size), size, scale);
}

bool SaveText(const QString& text, const QString& folder, const QString& name) {
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.toUtf8()) != text.toUtf8().size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

// The 24-bit variant of an icon image kept inside the program: the icon on
// the window's background colour.
QImage Opaque(const QImage& icon) {
    QImage image(icon.size(), QImage::Format_RGB888);
    image.fill(QColor(249, 249, 249));
    QPainter p(&image);
    p.drawImage(0, 0, icon);
    return image;
}

bool Save(const QImage& image, const QString& folder, const QString& name) {
    const QString path = folder + QLatin1Char('/') + name;
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Writes name.png and name@2x.png, painted by paint(scale).
bool SaveBothScales(const std::function<QImage(qreal)>& paint, const QString& folder,
                    const QString& name) {
    return Save(paint(1.0), folder, name + QStringLiteral(".png")) &&
           Save(paint(2.0), folder, name + QStringLiteral("@2x.png"));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skin_art <res folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString res = QString::fromLocal8Bit(argv[1]);
    const QString bitmaps = res + QStringLiteral("/bitmaps");
    const QString icons = res + QStringLiteral("/icons");
    if (!QDir().mkpath(bitmaps) || !QDir().mkpath(icons)) {
        std::fprintf(stderr, "cannot create the output folders under %s\n", argv[1]);
        return 1;
    }

    const struct {
        const char* name;
        SymbolPainter symbol;
    } buttons[] = {{"snapshot", DrawCamera}, {"delete", DrawWasteBin}, {"properties", DrawGear}};
    const struct {
        const char* suffix;
        Look look;
    } looks[] = {{"normal", Look::Normal},
                 {"hover", Look::Hover},
                 {"pressed", Look::Pressed},
                 {"disabled", Look::Disabled}};
    bool ok = true;
    for (const auto& button : buttons) {
        for (const auto& look : looks) {
            ok &= SaveBothScales(
                [&](qreal scale) { return SkinButton(button.symbol, look.look, scale); }, bitmaps,
                QStringLiteral("%1_%2").arg(button.name, look.suffix));
        }
    }
    const struct {
        const char* name;
        const char* label;
    } faces[] = {{"res640", "640x480"}, {"res320", "320x240"}, {"res1_3m", "1.3M"}};
    for (const auto& face : faces) {
        for (int i = 0; i < 3; ++i) {
            ok &= SaveBothScales(
                [&](qreal scale) {
                    return ResolutionFace(QString::fromLatin1(face.label), looks[i].look, scale);
                },
                bitmaps, QStringLiteral("%1_%2").arg(face.name, looks[i].suffix));
        }
    }
    ok &= SaveBothScales(Logo, bitmaps, QStringLiteral("logo"));
    for (int size : {256, 128, 64, 48, 32, 24, 16}) {
        ok &= SaveBothScales([size](qreal scale) { return AppIcon(size, scale); }, icons,
                             QStringLiteral("camera_%1").arg(size));
    }
    // The program's own largest image has no alpha channel; the installed
    // icon above keeps its transparency.
    ok &= SaveBothScales([](qreal scale) { return Opaque(AppIcon(256, scale)); }, icons,
                         QStringLiteral("camera_256_opaque"));
    // The scalable icons: the large drawing, and the one-colour symbol.
    ok &= SaveText(IconSvg(AppIconDrawing(256)), icons, QStringLiteral("nimbrel-vizor.svg"));
    ok &= SaveText(IconSvg(SymbolicIconDrawing()), icons,
                   QStringLiteral("nimbrel-vizor-symbolic.svg"));
    return ok ? 0 : 1;
}

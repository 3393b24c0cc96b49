#include "app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor INK(0x2a, 0x3b, 0x50);
// The colour symbolic icons are drawn in; desktops replace it.
const QColor SYMBOLIC_INK(0x2e, 0x34, 0x36);

IconFill Solid(const QColor& colour) {
    IconFill fill;
    fill.kind = IconFill::Solid;
    fill.colour = colour;
    return fill;
}

IconFill Radial(QPointF centre, qreal radius, QPointF focal, QGradientStops stops) {
    IconFill fill;
    fill.kind = IconFill::Radial;
    fill.centre = centre;
    fill.radius = radius;
    fill.focal = focal;
    fill.stops = std::move(stops);
    return fill;
}

QRectF Circle(QPointF centre, qreal radius) {
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

// A disc lit from the upper left: the gradient's focus lies up and to the
// left of the centre by the given fractions of the radius.
IconShape ShadedDisc(QPointF centre, qreal radius, QPointF light, QGradientStops stops,
                     const QColor& outline, qreal outlineWidth) {
    const QPointF focal = centre - QPointF(radius * light.x(), radius * light.y());
    return {IconShape::Ellipse,
            Circle(centre, radius),
            0,
            {},
            Radial(centre, radius, focal, std::move(stops)),
            outline,
            outlineWidth};
}

QBrush BrushOf(const IconFill& fill) {
    switch (fill.kind) {
    case IconFill::Solid:
        return fill.colour;
    case IconFill::Linear: {
        QLinearGradient gradient(fill.from, fill.to);
        gradient.setStops(fill.stops);
        return gradient;
    }
    case IconFill::Radial: {
        QRadialGradient gradient(fill.centre, fill.radius, fill.focal);
        gradient.setStops(fill.stops);
        return gradient;
    }
    case IconFill::None:
    default:
        return Qt::NoBrush;
    }
}

QString Number(qreal value) {
    return QString::number(value, 'g', 6);
}

QString Colour(const QColor& colour) {
    return colour.name(QColor::HexRgb);
}

QString StopsSvg(const QGradientStops& stops) {
    QString out;
    for (const QGradientStop& stop : stops) {
        out += QStringLiteral("<stop offset=\"%1\" stop-color=\"%2\"/>")
                   .arg(Number(stop.first), Colour(stop.second));
    }
    return out;
}

} // namespace

IconDrawing AppIconDrawing(int size) {
    const bool small = size <= 24;
    IconDrawing d{256, {}};
    // Stand: a neck and a wide foot, lighter than the outline so that it
    // shows on dark backgrounds as well.
    IconFill foot;
    foot.kind = IconFill::Linear;
    foot.from = QPointF(0, 212);
    foot.to = QPointF(0, 248);
    foot.stops = {{0, QColor(0x6a, 0x7f, 0x99)}, {1, QColor(0x34, 0x45, 0x5a)}};
    const qreal standPen = small ? 10 : 5;
    const IconFill neck = Solid(QColor(0x4a, 0x5d, 0x75));
    if (small) {
        d.shapes.push_back({IconShape::Rect, QRectF(104, 180, 48, 44), 0, {}, neck, INK, standPen});
        d.shapes.push_back(
            {IconShape::RoundedRect, QRectF(36, 212, 184, 38), 16, {}, foot, INK, standPen});
    } else {
        d.shapes.push_back(
            {IconShape::RoundedRect, QRectF(112, 188, 32, 34), 6, {}, neck, INK, standPen});
        d.shapes.push_back(
            {IconShape::Ellipse, QRectF(60, 212, 136, 32), 0, {}, foot, INK, standPen});
    }
    // Head.
    const QPointF centre(128, small ? 100 : 112);
    const qreal radius = small ? 92 : 96;
    d.shapes.push_back(ShadedDisc(centre, radius, QPointF(0.35, 0.45),
                                  {{0, QColor(0xff, 0xff, 0xff)},
                                   {0.7, QColor(0xd5, 0xe0, 0xec)},
                                   {1, QColor(0xa4, 0xb6, 0xca)}},
                                  INK, small ? 16.0 : 7.0));
    // Lens, with a glint.
    const qreal lens = radius * 0.56;
    d.shapes.push_back(ShadedDisc(centre, lens, QPointF(0.3, 0.35),
                                  {{0, QColor(0x7c, 0xe8, 0xff)},
                                   {0.45, QColor(0x1a, 0x8c, 0xd0)},
                                   {1, QColor(0x10, 0x25, 0x48)}},
                                  QColor(0x1b, 0x2a, 0x3c), small ? 12.0 : 8.0));
    d.shapes.push_back({IconShape::Ellipse,
                        Circle(centre - QPointF(lens * 0.35, lens * 0.38), lens * 0.2),
                        0,
                        {},
                        Solid(QColor(255, 255, 255, 210)),
                        QColor(),
                        0});
    if (!small) {
        // The activity light.
        d.shapes.push_back(
            {IconShape::Ellipse,
             Circle(QPointF(centre.x() + radius * 0.62, centre.y() - radius * 0.55), 9),
             0,
             {},
             Solid(QColor(0x2f, 0xd0, 0x6a)),
             QColor(),
             0});
    }
    return d;
}

IconDrawing SymbolicIconDrawing() {
    // The same camera as the small colour icon: the head a ring, the lens a
    // disc inside it, the neck and the foot solid.
    IconDrawing d{16, {}};
    const IconFill ink = Solid(SYMBOLIC_INK);
    const QPointF centre(8, 6.5);
    d.shapes.push_back(
        {IconShape::Ring, Circle(centre, 6), 0, Circle(centre, 4.5), ink, QColor(), 0});
    d.shapes.push_back({IconShape::Ellipse, Circle(centre, 2.5), 0, {}, ink, QColor(), 0});
    d.shapes.push_back({IconShape::Rect, QRectF(7, 12, 2, 2), 0, {}, ink, QColor(), 0});
    d.shapes.push_back({IconShape::RoundedRect, QRectF(3, 13.5, 10, 2.5), 1, {}, ink, QColor(), 0});
    return d;
}

QImage PaintIcon(const IconDrawing& drawing, int size, qreal scale) {
    QImage image(qRound(size * scale), qRound(size * scale), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale * size / drawing.canvas, scale * size / drawing.canvas);
    for (const IconShape& shape : drawing.shapes) {
        p.setPen(shape.stroke.isValid() ? QPen(shape.stroke, shape.strokeWidth) : QPen(Qt::NoPen));
        p.setBrush(BrushOf(shape.fill));
        switch (shape.kind) {
        case IconShape::Rect:
            p.drawRect(shape.rect);
            break;
        case IconShape::RoundedRect:
            p.drawRoundedRect(shape.rect, shape.corner, shape.corner);
            break;
        case IconShape::Ellipse:
            p.drawEllipse(shape.rect);
            break;
        case IconShape::Ring: {
            QPainterPath ring; // odd-even fill: the hole stays empty
            ring.addEllipse(shape.rect);
            ring.addEllipse(shape.hole);
            p.drawPath(ring);
            break;
        }
        }
    }
    return image;
}

QString IconSvg(const IconDrawing& drawing) {
    QString defs;
    QString body;
    int nGradient = 0;
    for (const IconShape& shape : drawing.shapes) {
        QString fill = QStringLiteral("none");
        const IconFill& f = shape.fill;
        if (f.kind == IconFill::Solid) {
            fill = Colour(f.colour);
            if (f.colour.alpha() != 255)
                fill += QStringLiteral("\" fill-opacity=\"%1").arg(Number(f.colour.alphaF()));
        } else if (f.kind != IconFill::None) {
            const QString id = QStringLiteral("g%1").arg(++nGradient);
            if (f.kind == IconFill::Linear) {
                defs +=
                    QStringLiteral("<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                                   "x1=\"%2\" y1=\"%3\" x2=\"%4\" y2=\"%5\">%6</linearGradient>\n")
                        .arg(id, Number(f.from.x()), Number(f.from.y()), Number(f.to.x()),
                             Number(f.to.y()), StopsSvg(f.stops));
            } else {
                defs += QStringLiteral("<radialGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                                       "cx=\"%2\" cy=\"%3\" r=\"%4\" fx=\"%5\" fy=\"%6\">%7"
                                       "</radialGradient>\n")
                            .arg(id, Number(f.centre.x()), Number(f.centre.y()), Number(f.radius),
                                 Number(f.focal.x()), Number(f.focal.y()), StopsSvg(f.stops));
            }
            fill = QStringLiteral("url(#%1)").arg(id);
        }
        QString paint = QStringLiteral("fill=\"%1\"").arg(fill);
        if (shape.stroke.isValid()) {
            paint += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                         .arg(Colour(shape.stroke), Number(shape.strokeWidth));
        }
        const QRectF& r = shape.rect;
        switch (shape.kind) {
        case IconShape::Rect:
        case IconShape::RoundedRect:
            body += QStringLiteral(
                        "<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" %6/>\n")
                        .arg(Number(r.x()), Number(r.y()), Number(r.width()), Number(r.height()),
                             Number(shape.corner), paint);
            break;
        case IconShape::Ellipse:
            body += QStringLiteral("<ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\" %5/>\n")
                        .arg(Number(r.center().x()), Number(r.center().y()), Number(r.width() / 2),
                             Number(r.height() / 2), paint);
            break;
        case IconShape::Ring: {
            // Two closed arcs each; the inner one cut out by the even-odd rule.
            auto ellipsePath = [](const QRectF& e) {
                const QString rx = Number(e.width() / 2);
                const QString ry = Number(e.height() / 2);
                return QStringLiteral("M%1 %2a%3 %4 0 1 0 %5 0a%3 %4 0 1 0 -%5 0z")
                    .arg(Number(e.left()), Number(e.center().y()), rx, ry, Number(e.width()));
            };
            body += QStringLiteral("<path fill-rule=\"evenodd\" d=\"%1%2\" %3/>\n")
                        .arg(ellipsePath(r), ellipsePath(shape.hole), paint);
            break;
        }
        }
    }
    const QString size = Number(drawing.canvas);
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">\n%2%3</svg>\n")
        .arg(size, defs.isEmpty() ? QString() : QStringLiteral("<defs>\n%1</defs>\n").arg(defs),
             body);
}

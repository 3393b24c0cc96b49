#pragma once
// The program's icon as a list of shapes on a square canvas, so that one
// drawing gives both the PNG sizes (painted by QPainter) and the scalable
// SVG files (written out shape by shape): the full-colour icon and the
// one-colour symbolic one that desktops tint to their text colour.

#include <QColor>
#include <QGradientStops>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

struct IconFill {
    enum Kind { None, Solid, Linear, Radial } kind = None;
    QColor colour;         // Solid
    QPointF from, to;      // Linear: the gradient's line
    QPointF centre, focal; // Radial
    qreal radius = 0;      // Radial
    QGradientStops stops;  // Linear and Radial
};

struct IconShape {
    // Ring: an ellipse with the inner ellipse `hole` cut out.
    enum Kind { Rect, RoundedRect, Ellipse, Ring } kind;
    QRectF rect;
    qreal corner = 0; // RoundedRect
    QRectF hole;      // Ring
    IconFill fill;
    QColor stroke; // invalid: no outline
    qreal strokeWidth = 0;
};

struct IconDrawing {
    qreal canvas; // the shapes' coordinates run from 0 to canvas
    std::vector<IconShape> shapes;
};

// The colour icon for a pixel size: the small sizes draw a simpler camera
// with thicker lines.
IconDrawing AppIconDrawing(int size);
// The symbolic icon: filled shapes in one colour on a 16 x 16 canvas.
IconDrawing SymbolicIconDrawing();

// size x size pixels, times scale, on transparency.
QImage PaintIcon(const IconDrawing& drawing, int size, qreal scale);
QString IconSvg(const IconDrawing& drawing);

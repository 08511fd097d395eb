// SPDX-License-Identifier: MIT
#pragma once
// A fixed vector picture held as data, and the one routine that draws any of them.

#include <QColor>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>

#include <vector>

class QPainter;

namespace zentyr::artwork {

enum class ShapeKind {
    Polygon,       // closed figure (a rectangle too); fill and/or outline
    Line,          // points: two ends; drawn with flat ends so a tick starts exactly on its edge
    Polyline,      // open stroked path (close it by repeating the first point)
    FilledPolygon, // one polygon filled even-odd, no outline: a digit, fitted to whole
                   // pixels when drawn upright so that small numerals stay sharp
    FilledPath,    // any filled outline, no stroke (the product word)
};

struct Shape {
    ShapeKind kind = ShapeKind::Polygon;
    QPolygonF points;
    QPainterPath path;   // FilledPath only
    QColor fill;         // invalid: not filled
    QColor pen;          // invalid: no outline
    double penWidth = 0; // in drawing units, centred on the outline
};

struct VectorPicture {
    // The drawing space: origin and extent of the logical window. A negative
    // height makes y grow upward.
    QPointF windowOrigin;
    QSizeF windowExtent;
    // The picture's own size, what the drawing space is stretched over.
    QSizeF frame;
    std::vector<Shape> shapes;

    void addRect(const QRectF &r, const QColor &fill, const QColor &pen, double penWidth)
    {
        shapes.push_back({ShapeKind::Polygon, QPolygonF(r.normalized()), {}, fill, pen, penWidth});
    }
    void addPolygon(const QPolygonF &p, const QColor &fill, const QColor &pen, double penWidth)
    {
        shapes.push_back({ShapeKind::Polygon, p, {}, fill, pen, penWidth});
    }
    void addLine(QPointF a, QPointF b, const QColor &pen, double penWidth)
    {
        shapes.push_back({ShapeKind::Line, {a, b}, {}, {}, pen, penWidth});
    }
    void addPolyline(const QPolygonF &p, const QColor &pen, double penWidth)
    {
        shapes.push_back({ShapeKind::Polyline, p, {}, {}, pen, penWidth});
    }
    void addFilledPolygon(const QPolygonF &p, const QColor &fill)
    {
        shapes.push_back({ShapeKind::FilledPolygon, p, {}, fill, {}, 0});
    }
    void addFilledPath(const QPainterPath &path, const QColor &fill)
    {
        shapes.push_back({ShapeKind::FilledPath, {}, path, fill, {}, 0});
    }
};

// Draws the picture stretched over target (painter coordinates), clipped to it.
// Strokes never get thinner than one logical pixel (at 2x, two device pixels), and when the painter does not
// rotate, outlines and ticks are aligned to whole device pixels so that they stay
// crisp at small sizes.
void render(const VectorPicture &picture, QPainter &painter, const QRectF &target);

} // namespace zentyr::artwork

// SPDX-License-Identifier: MIT
#pragma once
// The pictures' drawing steps, and the canvas they draw on.

#include <QColor>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

class QPainter;

namespace zentyr::artwork {

// Draws in a picture's own units straight onto device pixels. Strokes never get
// thinner than one logical pixel (at 2x, two device pixels), and when the painter
// does not rotate, outlines and ticks are aligned to whole device pixels so that
// they stay crisp at small sizes.
class Canvas {
public:
    Canvas(QPainter &painter, const QTransform &toDevice, double devicePixelRatio);

    // A closed figure (a rectangle too), or else an open stroked path (close it by
    // repeating the first point); an invalid colour leaves out its fill or outline.
    void polygon(const QPolygonF &points, const QColor &fill, const QColor &pen, double penWidth, bool closed = true);
    // A tick: an upright or level line, with flat ends so that it starts exactly on its edge.
    void line(QPointF a, QPointF b, const QColor &pen, double penWidth);
    // One polygon filled even-odd, no outline: a digit, fitted to whole pixels
    // when drawn upright so that small numerals stay sharp.
    void digit(const QPolygonF &points, const QColor &fill);
    // Any filled outline, no stroke (the product word).
    void fill(const QPainterPath &path, const QColor &color);

private:
    double strokeWidth(double width, double scale) const;

    QPainter &m_p;
    QTransform m_m;
    double m_thinnest; // device pixels in one logical pixel
    bool m_align;
    double m_areaScale;
};

// Each draws its picture in its own drawing space.
void drawInchScale(Canvas &canvas);
void drawMetricScale(Canvas &canvas);
void drawVerticalScale(Canvas &canvas);
void drawRulerStrip(Canvas &canvas);
void drawSteelRule(Canvas &canvas);

} // namespace zentyr::artwork

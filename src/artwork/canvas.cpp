// SPDX-License-Identifier: MIT
#include "artwork/pictures.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace zentyr::artwork {

namespace {

// A stroke of odd whole width is crisp when centred on a pixel centre, an
// even one (or a bare fill edge) when on a pixel boundary.
bool oddWidth(double w) { return static_cast<long long>(w) % 2 == 1; }
double snap(double v, bool toCentre) { return toCentre ? std::floor(v) + 0.5 : std::round(v); }

// Digits are only a few pixels tall at natural size: stretching each one so
// that its box starts and ends on pixel edges keeps it from blurring.
QPolygonF fitToPixels(const QPolygonF &d)
{
    const QRectF b = d.boundingRect();
    const QRectF s(QPointF(std::round(b.left()), std::round(b.top())),
                   QPointF(std::round(b.right()), std::round(b.bottom())));
    if (b.width() <= 0 || b.height() <= 0 || s.width() <= 0 || s.height() <= 0)
        return d;
    const double sx = s.width() / b.width();
    const double sy = s.height() / b.height();
    return QTransform(sx, 0, 0, sy, s.left() - b.left() * sx, s.top() - b.top() * sy).map(d);
}

} // namespace

Canvas::Canvas(QPainter &painter, const QTransform &toDevice, double devicePixelRatio)
    : m_p(painter), m_m(toDevice), m_thinnest(std::max(1.0, devicePixelRatio)),
      // Alignment to the pixel grid only makes sense while edges stay upright.
      m_align(toDevice.type() <= QTransform::TxScale), m_areaScale(std::sqrt(std::abs(toDevice.determinant())))
{ }

// Never thinner than one logical pixel, so hairlines show at any scale and keep
// their weight at any device pixel ratio; whole device pixels when aligned.
double Canvas::strokeWidth(double width, double scale) const
{
    const double w = std::max(width * scale, m_thinnest);
    return m_align ? std::max(1.0, std::round(w)) : w;
}

void Canvas::polygon(const QPolygonF &points, const QColor &fill, const QColor &pen, double penWidth, bool closed)
{
    const double w = strokeWidth(penWidth, m_areaScale);
    QPolygonF d = m_m.map(points);
    if (m_align) {
        const bool centre = pen.isValid() && oddWidth(w);
        for (QPointF &pt : d)
            pt = {snap(pt.x(), centre), snap(pt.y(), centre)};
    }
    m_p.setPen(pen.isValid() ? QPen(pen, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin) : QPen(Qt::NoPen));
    m_p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    if (closed)
        m_p.drawPolygon(d, Qt::OddEvenFill);
    else
        m_p.drawPolyline(d);
}

void Canvas::line(QPointF a, QPointF b, const QColor &pen, double penWidth)
{
    a = m_m.map(a);
    b = m_m.map(b);
    double w = strokeWidth(penWidth, m_areaScale);
    if (m_align) {
        // The width runs across the line, so it scales with the other axis.
        const bool vertical = std::abs(a.x() - b.x()) < 1e-6;
        w = strokeWidth(penWidth, vertical ? std::abs(m_m.m11()) : std::abs(m_m.m22()));
        const bool centre = oddWidth(w);
        a = vertical ? QPointF(snap(a.x(), centre), std::round(a.y()))
                     : QPointF(std::round(a.x()), snap(a.y(), centre));
        b = vertical ? QPointF(snap(b.x(), centre), std::round(b.y()))
                     : QPointF(std::round(b.x()), snap(b.y(), centre));
    }
    m_p.setPen(QPen(pen, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    m_p.drawLine(a, b);
}

void Canvas::digit(const QPolygonF &points, const QColor &fill)
{
    m_p.setPen(Qt::NoPen);
    m_p.setBrush(fill);
    m_p.drawPolygon(m_align ? fitToPixels(m_m.map(points)) : m_m.map(points), Qt::OddEvenFill);
}

void Canvas::fill(const QPainterPath &path, const QColor &color) { m_p.fillPath(m_m.map(path), color); }

} // namespace zentyr::artwork

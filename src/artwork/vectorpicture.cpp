// SPDX-License-Identifier: MIT
#include "artwork/vectorpicture.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace zentyr::artwork {

namespace {

// Draws shapes whose coordinates have already been taken to device pixels.
class DevicePainter {
public:
    DevicePainter(QPainter &p, const QTransform &toDevice, double devicePixelRatio)
        : m_p(p), m_m(toDevice), m_thinnest(std::max(1.0, devicePixelRatio)),
          // Alignment to the pixel grid only makes sense while edges stay upright.
          m_align(toDevice.type() <= QTransform::TxScale), m_areaScale(std::sqrt(std::abs(toDevice.determinant())))
    { }

    void draw(const Shape &s)
    {
        switch (s.kind) {
        case ShapeKind::Polygon:
        case ShapeKind::Polyline: drawOutlined(s); break;
        case ShapeKind::Line: drawLine(s); break;
        case ShapeKind::FilledPolygon:
            m_p.setPen(Qt::NoPen);
            m_p.setBrush(s.fill);
            m_p.drawPolygon(m_align ? fitToPixels(m_m.map(s.points)) : m_m.map(s.points), Qt::OddEvenFill);
            break;
        case ShapeKind::FilledPath:
            m_p.setPen(Qt::NoPen);
            m_p.setBrush(s.fill);
            m_p.drawPath(m_m.map(s.path));
            break;
        }
    }

private:
    // Never thinner than one logical pixel, so hairlines show at any scale and keep
    // their weight at any device pixel ratio; whole device pixels when aligned.
    double strokeWidth(double width, double scale) const
    {
        const double w = std::max(width * scale, m_thinnest);
        return m_align ? std::max(1.0, std::round(w)) : w;
    }

    // A stroke of odd whole width is crisp when centred on a pixel centre, an
    // even one (or a bare fill edge) when on a pixel boundary.
    static bool oddWidth(double w) { return static_cast<long long>(w) % 2 == 1; }
    static double snap(double v, bool toCentre) { return toCentre ? std::floor(v) + 0.5 : std::round(v); }

    // Digits are only a few pixels tall at natural size: stretching each one so
    // that its box starts and ends on pixel edges keeps it from blurring.
    static QPolygonF fitToPixels(const QPolygonF &d)
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

    void drawOutlined(const Shape &s)
    {
        const double w = strokeWidth(s.penWidth, m_areaScale);
        QPolygonF d = m_m.map(s.points);
        if (m_align) {
            const bool centre = s.pen.isValid() && oddWidth(w);
            for (QPointF &pt : d)
                pt = {snap(pt.x(), centre), snap(pt.y(), centre)};
        }
        m_p.setPen(s.pen.isValid() ? QPen(s.pen, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin) : QPen(Qt::NoPen));
        m_p.setBrush(s.fill.isValid() ? QBrush(s.fill) : QBrush(Qt::NoBrush));
        if (s.kind == ShapeKind::Polyline)
            m_p.drawPolyline(d);
        else
            m_p.drawPolygon(d, Qt::OddEvenFill);
    }

    void drawLine(const Shape &s)
    {
        QPointF a = m_m.map(s.points.value(0));
        QPointF b = m_m.map(s.points.value(1));
        const bool vertical = std::abs(a.x() - b.x()) < 1e-6;
        const bool horizontal = std::abs(a.y() - b.y()) < 1e-6;
        double w = strokeWidth(s.penWidth, m_areaScale);
        if (m_align && (vertical || horizontal)) {
            // The width runs across the line, so it scales with the other axis.
            w = strokeWidth(s.penWidth, vertical ? std::abs(m_m.m11()) : std::abs(m_m.m22()));
            const bool centre = oddWidth(w);
            a = vertical ? QPointF(snap(a.x(), centre), std::round(a.y()))
                         : QPointF(std::round(a.x()), snap(a.y(), centre));
            b = vertical ? QPointF(snap(b.x(), centre), std::round(b.y()))
                         : QPointF(std::round(b.x()), snap(b.y(), centre));
        }
        m_p.setPen(QPen(s.pen, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        m_p.drawLine(a, b);
    }

    QPainter &m_p;
    QTransform m_m;
    double m_thinnest; // device pixels in one logical pixel
    bool m_align;
    double m_areaScale;
};

} // namespace

void render(const VectorPicture &picture, QPainter &painter, const QRectF &target)
{
    if (target.isEmpty() || picture.frame.isEmpty() || picture.windowExtent.width() == 0
        || picture.windowExtent.height() == 0)
        return;

    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);

    const QTransform frameToTarget(target.width() / picture.frame.width(), 0, 0,
                                   target.height() / picture.frame.height(), target.x(), target.y());
    const QTransform device = painter.deviceTransform();
    bool invertible = false;
    const QTransform deviceInverse = device.inverted(&invertible);
    if (invertible) {
        // From here on painter coordinates are device pixels, whatever the
        // world transform and device pixel ratio were.
        const double sx = picture.frame.width() / picture.windowExtent.width();
        const double sy = picture.frame.height() / picture.windowExtent.height();
        const QTransform drawingToFrame(sx, 0, 0, sy, -picture.windowOrigin.x() * sx, -picture.windowOrigin.y() * sy);
        const QTransform toDevice = drawingToFrame * frameToTarget * device;
        painter.setWorldTransform(deviceInverse * painter.worldTransform());
        painter.setRenderHint(QPainter::Antialiasing, true);
        const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        DevicePainter dp(painter, toDevice, dpr);
        for (const Shape &s : picture.shapes)
            dp.draw(s);
    }
    painter.restore();
}

} // namespace zentyr::artwork

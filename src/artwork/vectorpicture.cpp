// SPDX-License-Identifier: MIT
#include "artwork/vectorpicture.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace zentyr::artwork {

QTransform VectorPicture::drawingToFrame() const
{
    const double sx = frame.width() / windowExtent.width();
    const double sy = frame.height() / windowExtent.height();
    return QTransform(sx, 0, 0, sy, -windowOrigin.x() * sx, -windowOrigin.y() * sy);
}

void VectorPicture::addRect(const QRectF &r, const QColor &fill, const QColor &pen, double penWidth)
{
    Shape s;
    s.kind = ShapeKind::Rect;
    s.points << r.topLeft() << r.bottomRight();
    s.fill = fill;
    s.pen = pen;
    s.penWidth = penWidth;
    shapes.push_back(std::move(s));
}

void VectorPicture::addPolygon(const QPolygonF &p, const QColor &fill, const QColor &pen, double penWidth)
{
    Shape s;
    s.kind = ShapeKind::Polygon;
    s.points = p;
    s.fill = fill;
    s.pen = pen;
    s.penWidth = penWidth;
    shapes.push_back(std::move(s));
}

void VectorPicture::addLine(QPointF a, QPointF b, const QColor &pen, double penWidth)
{
    Shape s;
    s.kind = ShapeKind::Line;
    s.points << a << b;
    s.pen = pen;
    s.penWidth = penWidth;
    shapes.push_back(std::move(s));
}

void VectorPicture::addPolyline(const QPolygonF &p, const QColor &pen, double penWidth)
{
    Shape s;
    s.kind = ShapeKind::Polyline;
    s.points = p;
    s.pen = pen;
    s.penWidth = penWidth;
    shapes.push_back(std::move(s));
}

void VectorPicture::addFilledPolygon(const QPolygonF &p, const QColor &fill)
{
    Shape s;
    s.kind = ShapeKind::FilledPolygon;
    s.points = p;
    s.fill = fill;
    shapes.push_back(std::move(s));
}

void VectorPicture::addFilledPath(const QPainterPath &path, const QColor &fill)
{
    Shape s;
    s.kind = ShapeKind::FilledPath;
    s.path = path;
    s.fill = fill;
    shapes.push_back(std::move(s));
}

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
        case ShapeKind::Rect: drawRect(s); break;
        case ShapeKind::Polygon: drawPolygon(s); break;
        case ShapeKind::Line: drawLine(s); break;
        case ShapeKind::Polyline: drawPolyline(s); break;
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

    QPointF snapPoint(QPointF pt, bool toCentre) const { return {snap(pt.x(), toCentre), snap(pt.y(), toCentre)}; }

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

    void setOutline(const Shape &s, double width, Qt::PenCapStyle cap)
    {
        if (s.pen.isValid())
            m_p.setPen(QPen(s.pen, width, Qt::SolidLine, cap, Qt::MiterJoin));
        else
            m_p.setPen(Qt::NoPen);
        m_p.setBrush(s.fill.isValid() ? QBrush(s.fill) : QBrush(Qt::NoBrush));
    }

    void drawRect(const Shape &s)
    {
        const QRectF r(s.points.value(0), s.points.value(1));
        if (!m_align) {
            Shape poly = s;
            poly.points = QPolygonF(r.normalized());
            drawPolygon(poly);
            return;
        }
        const double w = strokeWidth(s.penWidth, m_areaScale);
        const bool centre = s.pen.isValid() && oddWidth(w);
        const QRectF d = m_m.mapRect(r.normalized());
        setOutline(s, w, Qt::SquareCap);
        m_p.drawRect(QRectF(snapPoint(d.topLeft(), centre), snapPoint(d.bottomRight(), centre)));
    }

    void drawPolygon(const Shape &s)
    {
        const double w = strokeWidth(s.penWidth, m_areaScale);
        QPolygonF d = m_m.map(s.points);
        if (m_align) {
            const bool centre = s.pen.isValid() && oddWidth(w);
            for (QPointF &pt : d)
                pt = snapPoint(pt, centre);
        }
        setOutline(s, w, Qt::SquareCap);
        m_p.drawPolygon(d, Qt::OddEvenFill);
    }

    void drawLine(const Shape &s)
    {
        QPointF a = m_m.map(s.points.value(0));
        QPointF b = m_m.map(s.points.value(1));
        const bool vertical = std::abs(a.x() - b.x()) < 1e-6;
        const bool horizontal = std::abs(a.y() - b.y()) < 1e-6;
        double w;
        if (m_align && (vertical || horizontal)) {
            // The width runs across the line, so it scales with the other axis.
            w = strokeWidth(s.penWidth, vertical ? std::abs(m_m.m11()) : std::abs(m_m.m22()));
            const bool centre = oddWidth(w);
            if (vertical) {
                a = {snap(a.x(), centre), std::round(a.y())};
                b = {snap(b.x(), centre), std::round(b.y())};
            } else {
                a = {std::round(a.x()), snap(a.y(), centre)};
                b = {std::round(b.x()), snap(b.y(), centre)};
            }
        } else {
            w = strokeWidth(s.penWidth, m_areaScale);
        }
        m_p.setPen(QPen(s.pen, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        m_p.drawLine(a, b);
    }

    void drawPolyline(const Shape &s)
    {
        const double w = strokeWidth(s.penWidth, m_areaScale);
        QPolygonF d = m_m.map(s.points);
        if (m_align) {
            const bool centre = oddWidth(w);
            for (QPointF &pt : d)
                pt = snapPoint(pt, centre);
        }
        m_p.setPen(QPen(s.pen, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_p.setBrush(Qt::NoBrush);
        m_p.drawPolyline(d);
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
        const QTransform toDevice = picture.drawingToFrame() * frameToTarget * device;
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

// SPDX-License-Identifier: MIT
#include "artwork/artwork.h"
#include "artwork/pictures.h"

#include <QCache>
#include <QCoreApplication>
#include <QPainter>

#include <cmath>

namespace zentyr::artwork {

namespace {

struct PictureInfo {
    double width, height, unitsPerInch;
    void (*draw)(Canvas &);
    // The drawing space, when it is not the picture's own coordinate space:
    // origin and extent. A negative height makes y grow upward.
    QRectF window;
};

const PictureInfo Pictures[] = {
    {15187, 1854, 2540, drawInchScale, {}},
    {3600, 414, 600, drawMetricScale, {}},
    {1736, 14681, 2540, drawVerticalScale, {}},
    {3600, 397, 600, drawRulerStrip, {}},
    // Its drawing space is stretched onto this; the height is the stored bottom 0x8CCF read unsigned.
    {29959, 36047, 1440, drawSteelRule, QRectF(3589, 12892, 25589, -3939)},
};

const PictureInfo &info(Picture p) { return Pictures[static_cast<int>(p)]; }

// Nearest whole number, halves to the even neighbour.
int toWhole(double v) { return static_cast<int>(std::lrint(v)); }

// Rendered pixmaps, costed in kilobytes; the least recently used goes first.
QCache<QString, QPixmap> &pixmapCache()
{
    static QCache<QString, QPixmap> cache = [] {
        // Pixmaps must go before the application object does.
        qAddPostRoutine([] { pixmapCache().clear(); });
        return QCache<QString, QPixmap>(160 * 1024);
    }();
    return cache;
}

bool usable(double v) { return std::isfinite(v) && v > 0; }

} // namespace

QSizeF extentUnits(Picture which) { return {info(which).width, info(which).height}; }

QSizeF naturalTwips(Picture picture)
{
    const PictureInfo &f = info(picture);
    const double k = 1440.0 / f.unitsPerInch;
    return QSizeF(toWhole(f.width * k), toWhole(f.height * k));
}

QSize naturalPixelSize(Picture picture, double twipsPerPixelX, double twipsPerPixelY)
{
    if (!usable(twipsPerPixelX) || !usable(twipsPerPixelY))
        return {};
    const QSizeF t = naturalTwips(picture);
    return QSize(toWhole(t.width() / twipsPerPixelX), toWhole(t.height() / twipsPerPixelY));
}

void paint(Picture which, QPainter &painter, const QRectF &targetPx)
{
    if (targetPx.isEmpty())
        return;
    const PictureInfo &pic = info(which);
    painter.save();
    painter.setClipRect(targetPx, Qt::IntersectClip);

    const QTransform frameToTarget(targetPx.width() / pic.width, 0, 0, targetPx.height() / pic.height, targetPx.x(),
                                   targetPx.y());
    const QTransform device = painter.deviceTransform();
    bool invertible = false;
    const QTransform deviceInverse = device.inverted(&invertible);
    if (invertible) {
        // From here on painter coordinates are device pixels, whatever the
        // world transform and device pixel ratio were.
        const QRectF window = pic.window.isNull() ? QRectF(0, 0, pic.width, pic.height) : pic.window;
        const double sx = pic.width / window.width();
        const double sy = pic.height / window.height();
        const QTransform drawingToFrame(sx, 0, 0, sy, -window.x() * sx, -window.y() * sy);
        const QTransform toDevice = drawingToFrame * frameToTarget * device;
        painter.setWorldTransform(deviceInverse * painter.worldTransform());
        painter.setRenderHint(QPainter::Antialiasing, true);
        Canvas canvas(painter, toDevice, painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
        pic.draw(canvas);
    }
    painter.restore();
}

QPixmap stretchedPixmap(Picture which, const QSize &sizePx, qreal devicePixelRatio)
{
    if (!usable(devicePixelRatio))
        return {};
    const QSize device(toWhole(sizePx.width() * devicePixelRatio), toWhole(sizePx.height() * devicePixelRatio));
    if (device.isEmpty())
        return {};
    const QString key = QString::asprintf("pic%d:%dx%d@%.17g", static_cast<int>(which), sizePx.width(), sizePx.height(),
                                          devicePixelRatio);
    if (QPixmap *hit = pixmapCache().object(key))
        return *hit;
    QPixmap pm(device);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(which, p, QRectF(QPointF(0, 0), QSizeF(device) / devicePixelRatio));
    p.end();
    pixmapCache().insert(key, new QPixmap(pm), qMax<qsizetype>(1, qsizetype(device.width()) * device.height() / 256));
    return pm;
}

QPixmap naturalPixmap(Picture which, double twipsPerPixelX, double twipsPerPixelY, qreal devicePixelRatio)
{
    return stretchedPixmap(which, naturalPixelSize(which, twipsPerPixelX, twipsPerPixelY), devicePixelRatio);
}

QRectF rulerStripBoxTwips() { return QRectF(240, 840, 7200, 840); }

QRectF steelRuleBoxTwips() { return QRectF(-10320, -31800, 29955, 36046); }

void paintSteelRuleSlice(QPainter &painter, const QRectF &clientPx, double twipsPerPixelX, double twipsPerPixelY)
{
    if (clientPx.isEmpty() || !usable(twipsPerPixelX) || !usable(twipsPerPixelY))
        return;
    // Natural size from the box's top left corner: the drawing is not stretched to its box.
    const QRectF drawn(steelRuleBoxTwips().topLeft(), naturalTwips(Picture::SteelRule));
    const QRectF boxPx(clientPx.x() + drawn.x() / twipsPerPixelX, clientPx.y() + drawn.y() / twipsPerPixelY,
                       drawn.width() / twipsPerPixelX, drawn.height() / twipsPerPixelY);
    painter.save();
    painter.setClipRect(clientPx, Qt::IntersectClip);
    paint(Picture::SteelRule, painter, boxPx);
    painter.restore();
}

} // namespace zentyr::artwork

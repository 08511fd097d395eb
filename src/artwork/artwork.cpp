// SPDX-License-Identifier: MIT
#include "artwork/artwork.h"
#include "artwork/pictures.h"

#include <QCache>
#include <QCoreApplication>
#include <QPainter>

#include <cmath>
#include <optional>

namespace zentyr::artwork {

namespace {

constexpr int PictureCount = 5;

struct FrameInfo {
    double width, height, unitsPerInch;
};

constexpr FrameInfo Frames[PictureCount] = {
    {15187, 1854, 2540}, // inch scale
    {3600, 414, 600},    // metric scale
    {1736, 14681, 2540}, // vertical scale
    {3600, 397, 600},    // ruler strip
    {29959, 36047, 1440} // steel rule: its drawing space is stretched onto this; the
                         // height is the stored bottom 0x8CCF read unsigned
};

int indexOf(Picture p)
{
    const int i = static_cast<int>(p);
    return i >= 0 && i < PictureCount ? i : 0;
}

// Nearest whole number, halves to the even neighbour.
int toWhole(double v) { return static_cast<int>(std::lrint(v)); }

// Rendered pixmaps, costed in kilobytes; the least recently used goes first.
QCache<QString, QPixmap> &pixmapCache()
{
    static QCache<QString, QPixmap> cache(160 * 1024);
    static const bool hooked = [] {
        // Pixmaps must go before the application object does.
        qAddPostRoutine([] { pixmapCache().clear(); });
        return true;
    }();
    Q_UNUSED(hooked);
    return cache;
}

bool usable(double v) { return std::isfinite(v) && v > 0; }

} // namespace

QSizeF extentUnits(Picture which)
{
    const FrameInfo &f = Frames[indexOf(which)];
    return {f.width, f.height};
}

const VectorPicture &picture(Picture which)
{
    static VectorPicture (*const build[PictureCount])()
        = {buildInchScale, buildMetricScale, buildVerticalScale, buildRulerStrip, buildSteelRule};
    static std::optional<VectorPicture> built[PictureCount];
    std::optional<VectorPicture> &slot = built[indexOf(which)];
    if (!slot)
        slot = build[indexOf(which)]();
    return *slot;
}

QSizeF naturalTwips(Picture picture)
{
    const FrameInfo &f = Frames[indexOf(picture)];
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

void paint(Picture which, QPainter &painter, const QRectF &targetPx) { render(picture(which), painter, targetPx); }

QPixmap stretchedPixmap(Picture which, const QSize &sizePx, qreal devicePixelRatio)
{
    if (sizePx.isEmpty() || !usable(devicePixelRatio))
        return {};
    const QSize device(toWhole(sizePx.width() * devicePixelRatio), toWhole(sizePx.height() * devicePixelRatio));
    if (device.isEmpty())
        return {};
    const QString key = QStringLiteral("pic%1:%2x%3@%4")
                            .arg(indexOf(which))
                            .arg(sizePx.width())
                            .arg(sizePx.height())
                            .arg(devicePixelRatio, 0, 'g', 17);
    if (QPixmap *hit = pixmapCache().object(key))
        return *hit;
    QPixmap pm(device);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        paint(which, p, QRectF(QPointF(0, 0), QSizeF(device) / devicePixelRatio));
    }
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

// SPDX-License-Identifier: MIT
#include "platform/forms/region.h"
#include "platform/forms/twips.h"

namespace zentyr {

QPolygon regionPoints(const UnitPolygon &polygon, float scaleX, float scaleY, short offsetX, short offsetY, double tppX,
                      double tppY)
{
    QPolygon points;
    points.reserve(static_cast<int>(polygon.size()));
    for (const QPointF &v : polygon) {
        const float x = static_cast<float>(v.x());
        const float y = static_cast<float>(v.y());
        points.append(
            QPoint(roundHalfEven(x * scaleX * 15 / tppX + offsetX), roundHalfEven(y * scaleY * 15 / tppY + offsetY)));
    }
    return points;
}

QRegion polygonUnionRegion(const std::vector<QPolygon> &polygons)
{
    QRegion result;
    for (const QPolygon &p : polygons)
        result = result.united(QRegion(p, Qt::OddEvenFill));
    return result;
}

} // namespace zentyr

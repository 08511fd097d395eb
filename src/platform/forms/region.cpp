// SPDX-License-Identifier: MIT
#include "platform/forms/region.h"
#include "platform/forms/twips.h"

namespace zentyr {

QPolygon regionPoints(const UnitPolygon &polygon, float scaleX, float scaleY, short offsetX, short offsetY, double tppX,
                      double tppY)
{
    QPolygon points;
    points.reserve(static_cast<int>(polygon.size()));
    for (const QPointF &v : polygon)
        points.append(QPoint(roundHalfEven(v.x() * scaleX * 15 / tppX + offsetX),
                             roundHalfEven(v.y() * scaleY * 15 / tppY + offsetY)));
    return points;
}

} // namespace zentyr

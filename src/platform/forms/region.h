// SPDX-License-Identifier: MIT
#pragma once
#include <QPolygon>
#include <vector>

namespace zentyr {

// A polygon in 1/96-inch units (15 twips), origin at the window's outer top-left.
using UnitPolygon = std::vector<QPointF>;

// One polygon's pixel points: x * scaleX * 15 / twips-per-pixel + offset, halves to even.
QPolygon regionPoints(const UnitPolygon &polygon, float scaleX, float scaleY, short offsetX, short offsetY,
                      double twipsPerPixelX, double twipsPerPixelY);

} // namespace zentyr

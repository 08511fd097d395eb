// SPDX-License-Identifier: MIT
#pragma once
// The scales' digits: blocky, chamfered sans-serif shapes defined once in a unit
// box and placed at any size and turn.

#include <QPolygonF>
#include <QRectF>
#include <QTransform>

#include <vector>

namespace zentyr::artwork {

// Closed contours of a digit (0-9, else std::out_of_range) in a unit box, x and y in 0..1, y downward:
// the outline first, then any counters.
const std::vector<QPolygonF> &digitContours(int digit);

// The digit as one closed polygon for even-odd filling: each counter is joined to
// the outline by a slit that runs in and back along the same edge.
QPolygonF digitPolygon(int digit);

// Width of the digit relative to its height.
double digitAspect(int digit);

struct PlacedDigit {
    int digit = 0;
    QRectF box;
};

// Width of a number set at the given digit height, digits widened by widthScale
// and separated by gap.
double numberWidth(int number, double height, double gap, double widthScale = 1.0);

// Lays the digits of number (>= 0) into box. Digits keep their own proportions
// (times widthScale) and whatever width is left goes evenly into the gaps; a
// lone digit is stretched to the box. Every box the pictures use leaves room.
std::vector<PlacedDigit> layoutNumber(int number, const QRectF &box, double widthScale = 1.0);

// A digit's polygon or contours placed in box and then taken through turn.
QPolygonF placeDigit(const QPolygonF &unitShape, const QRectF &box, const QTransform &turn = QTransform());

} // namespace zentyr::artwork

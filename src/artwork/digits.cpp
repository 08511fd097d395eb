// SPDX-License-Identifier: MIT
#include "artwork/digits.h"

#include <QString>

#include <array>
#include <limits>

namespace zentyr::artwork {

namespace {

// Drawn on a grid 18 high with strokes 3 thick and corners cut by 2, so that
// the digits stay legible when they are only a dozen pixels tall.
constexpr double GridHeight = 18;

// Each digit's width on the grid.
constexpr std::array<double, 10> GridWidth = {10, 5.5, 10, 10, 11, 10, 10, 10, 10, 10};

// The digits drawn on the grid, outline then counters, then scaled to the unit box.
std::array<std::vector<QPolygonF>, 10> unitContours()
{
    std::array<std::vector<QPolygonF>, 10> d;
    // A contour to a line or two reads as a drawing; one point a line does not.
    // clang-format off
    d[0] = {{{2, 0}, {8, 0}, {10, 2}, {10, 16}, {8, 18}, {2, 18}, {0, 16}, {0, 2}},
            {{4, 3}, {6, 3}, {7, 4}, {7, 14}, {6, 15}, {4, 15}, {3, 14}, {3, 4}}};
    d[1] = {{{2.3, 0}, {5.5, 0}, {5.5, 18}, {2.5, 18}, {2.5, 5.2}, {0, 6.2}, {0, 3}}};
    d[2] = {{{0, 2}, {2, 0}, {8, 0}, {10, 2}, {10, 8.4}, {4.3, 15}, {10, 15}, {10, 18}, {0, 18}, {0, 15},
             {7, 7.2}, {7, 3}, {3, 3}, {3, 5}, {0, 5}}};
    d[3] = {{{0, 0}, {8, 0}, {10, 2}, {10, 7.5}, {8.8, 9}, {10, 10.5}, {10, 16}, {8, 18}, {0, 18}, {0, 15},
             {7, 15}, {7, 10.5}, {3, 10.5}, {3, 7.5}, {7, 7.5}, {7, 3}, {0, 3}}};
    // The counter's slanted side runs parallel to the outer diagonal, 3.2 in.
    d[4] = {{{0, 11.5}, {6, 0}, {9.5, 0}, {9.5, 11.5}, {11, 11.5}, {11, 14.5}, {9.5, 14.5}, {9.5, 18},
             {6.5, 18}, {6.5, 14.5}, {0, 14.5}},
            {{3.6, 11.5}, {6.5, 6}, {6.5, 11.5}}};
    d[5] = {{{0, 0}, {10, 0}, {10, 3}, {3, 3}, {3, 6.5}, {8, 6.5}, {10, 8.5}, {10, 16}, {8, 18}, {0, 18},
             {0, 15}, {7, 15}, {7, 9.5}, {0, 9.5}}};
    d[6] = {{{2, 0}, {10, 0}, {10, 3}, {3, 3}, {3, 6.5}, {8, 6.5}, {10, 8.5}, {10, 16}, {8, 18}, {2, 18},
             {0, 16}, {0, 2}},
            {{3, 9.5}, {7, 9.5}, {7, 15}, {3, 15}}};
    d[7] = {{{0, 0}, {10, 0}, {10, 3}, {5.8, 18}, {2.6, 18}, {6.8, 3}, {0, 3}}};
    d[8] = {{{2, 0}, {8, 0}, {10, 2}, {10, 7.5}, {8.8, 9}, {10, 10.5}, {10, 16}, {8, 18}, {2, 18}, {0, 16},
             {0, 10.5}, {1.2, 9}, {0, 7.5}, {0, 2}},
            {{3, 3}, {7, 3}, {7, 7.5}, {3, 7.5}},
            {{3, 10.5}, {7, 10.5}, {7, 15}, {3, 15}}};
    // clang-format on
    // A 9 is a 6 turned half a turn.
    for (const QPolygonF &c : d[6])
        d[9].push_back(QTransform(-1, 0, 0, -1, GridWidth[6], GridHeight).map(c));

    for (int i = 0; i < 10; ++i)
        for (QPolygonF &c : d[i])
            for (QPointF &pt : c)
                pt = QPointF(pt.x() / GridWidth[i], pt.y() / GridHeight);
    return d;
}

// Relative widths measured from the numerals of the inch scale; the 0 and 1
// from its two-digit numbers, whose digits stand 74..94 units apart.
constexpr std::array<double, 10> Aspect = {0.535, 0.312, 0.542, 0.583, 0.626, 0.574, 0.562, 0.571, 0.559, 0.551};

// Joins each counter to the figure at the closest pair of corners. Under the
// even-odd rule the doubled slit covers nothing, so the counter stays open.
QPolygonF joinCounters(const std::vector<QPolygonF> &contours)
{
    QPolygonF poly = contours.front();
    for (size_t c = 1; c < contours.size(); ++c) {
        const QPolygonF &hole = contours[c];
        qsizetype bestI = 0, bestJ = 0;
        double best = std::numeric_limits<double>::max();
        for (qsizetype i = 0; i < poly.size(); ++i)
            for (qsizetype j = 0; j < hole.size(); ++j) {
                const QPointF d = poly[i] - hole[j];
                const double dist = d.x() * d.x() + d.y() * d.y();
                if (dist < best - 1e-12) {
                    best = dist;
                    bestI = i;
                    bestJ = j;
                }
            }
        // The figure up to its joining corner, the counter once round from its own
        // joining corner back to it, then back to the figure's corner and on.
        poly = QPolygonF(poly.first(bestI + 1) + hole.sliced(bestJ) + hole.first(bestJ + 1) + poly.sliced(bestI));
    }
    return poly;
}

} // namespace

const std::vector<QPolygonF> &digitContours(int digit)
{
    static const auto contours = unitContours();
    return contours.at(digit);
}

QPolygonF digitPolygon(int digit) { return joinCounters(digitContours(digit)); }

double digitAspect(int digit) { return Aspect.at(digit); }

double numberWidth(int number, double height, double gap, double widthScale)
{
    const QString text = QString::number(number < 0 ? 0 : number);
    double w = gap * (text.size() - 1);
    for (QChar c : text)
        w += digitAspect(c.digitValue()) * height * widthScale;
    return w;
}

std::vector<PlacedDigit> layoutNumber(int number, const QRectF &box, double widthScale)
{
    const QString text = QString::number(number < 0 ? 0 : number);
    if (text.size() == 1)
        return {{text[0].digitValue(), box}};
    const double gap = (box.width() - numberWidth(number, box.height(), 0, widthScale)) / (text.size() - 1);
    std::vector<PlacedDigit> out;
    double x = box.left();
    for (QChar c : text) {
        const double width = digitAspect(c.digitValue()) * box.height() * widthScale;
        out.push_back({c.digitValue(), QRectF(x, box.top(), width, box.height())});
        x += width + gap;
    }
    return out;
}

QPolygonF placeDigit(const QPolygonF &unitShape, const QRectF &box, const QTransform &turn)
{
    const QTransform toBox(box.width(), 0, 0, box.height(), box.x(), box.y());
    return (toBox * turn).map(unitShape);
}

} // namespace zentyr::artwork

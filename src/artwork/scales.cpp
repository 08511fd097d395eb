// SPDX-License-Identifier: MIT
// The ruler scales: inch, metric, vertical, and the small strip of the
// information window. All share the palette and the digit shapes.

#include "artwork/artwork.h"
#include "artwork/digits.h"
#include "artwork/palette.h"
#include "artwork/pictures.h"

#include <QFont>
#include <QFontMetricsF>

namespace zentyr::artwork {

namespace {

QRectF corners(double x0, double y0, double x1, double y1) { return QRectF(QPointF(x0, y0), QPointF(x1, y1)); }

// Position of quarter tick k between the listed major ticks: each division is
// split evenly, so the small ticks follow the measured majors.
double quarterPosition(const double *majors, int k)
{
    const int n = k / 4, r = k % 4;
    // The last tick is a major, with no division after it.
    return r == 0 ? majors[n] : majors[n] + (majors[n + 1] - majors[n]) * r / 4.0;
}

// The numerals, in ink.
void addNumber(Canvas &canvas, int number, const QRectF &box, const QTransform &turn = QTransform(),
               double widthScale = 1.0)
{
    for (const PlacedDigit &d : layoutNumber(number, box, widthScale))
        canvas.digit(placeDigit(digitPolygon(d.digit), d.box, turn), palette::Ink);
}

// "Zentyr" in bold Arial with the given em height, its text cell's top edge on
// y = 0 and centred on x = 0 when centred is set, else starting at x = 0.
QPainterPath productWordPath(double emHeight, bool centred)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(qRound(emHeight));
    font.setKerning(false); // the letters keep the spacing the scales were measured with
    const QFontMetricsF fm(font);
    const QString word = QStringLiteral("Zentyr");
    const double x = centred ? -fm.horizontalAdvance(word) / 2 : 0;
    QPainterPath path;
    path.addText(QPointF(x, fm.ascent()), font, word);
    return path;
}

} // namespace

void drawInchScale(Canvas &canvas)
{
    const double pen = 8;
    canvas.polygon(corners(0, 28, 15175, 199), palette::ShadowStrip, palette::ShadowRim, pen);
    canvas.polygon(corners(0, 86, 15175, 1852), palette::RulerBody, palette::RulerBody, pen);
    canvas.polygon(corners(0, 1188, 15175, 1852), palette::LowerBand, palette::RulerBody, pen);

    static constexpr double Majors[13]
        = {38, 1294, 2557, 3817, 5080, 6332, 7599, 8855, 10115, 11375, 12634, 13890, 15157};
    for (int k = 0; k <= 48; ++k) {
        const double x = quarterPosition(Majors, k);
        const double bottom = k % 4 == 0 ? 920 : (k % 2 == 0 ? 597 : 320);
        canvas.line({x, 86}, {x, bottom}, palette::Ink, pen);
    }

    // Each numeral's left and right edge.
    static constexpr double Numerals[12][2]
        = {{1018, 1124}, {2259, 2446},  {3515, 3716},   {4759, 4975},   {6051, 6249},   {7289, 7483},
           {8542, 8739}, {9827, 10020}, {11068, 11258}, {12183, 12550}, {13505, 13814}, {14700, 15084}};
    for (int n = 1; n <= 12; ++n)
        addNumber(canvas, n, corners(Numerals[n - 1][0], 789, Numerals[n - 1][1], 1134));

    canvas.fill(productWordPath(353, false).translated(137, 1366), palette::ProductWord);
}

void drawMetricScale(Canvas &canvas)
{
    const double pen = 6.3;
    canvas.polygon(corners(6.3, 5.1, 3590.9, 18.6), palette::ShadowStrip, palette::ShadowRim, pen);
    canvas.polygon(corners(6.3, 18.6, 3590.9, 405.9), palette::RulerBody, palette::RulerBody, pen);
    canvas.polygon(corners(6.3, 261.7, 3590.9, 406.7), palette::LowerBand, palette::RulerBody, pen);

    for (int k = 0; k <= 150; ++k) {
        const double x = 144.0 + 22.184 * k;
        canvas.line({x, 18.6}, {x, k % 5 == 0 ? 180.1 : 68.5}, palette::Ink, pen);
    }
    // Labels are a little wider than the inch scale's digits and set closer.
    const double top = 203.1, height = 237.2 - 203.1, gap = 4, widen = 1.1;
    for (int j = 0; j <= 30; ++j) {
        const double x = 144.0 + 22.184 * 5 * j;
        const int label = 10 * (j + 1);
        const double w = numberWidth(label, height, gap, widen);
        addNumber(canvas, label, QRectF(x - w / 2, top, w, height), QTransform(), widen);
    }
}

void drawVerticalScale(Canvas &canvas)
{
    const double pen = 6;
    canvas.polygon(QPolygonF({{15, 14640}, {58, 14640}, {53, -3}, {18, 2}}), palette::ShadowStrip, palette::ShadowRim,
                   pen);
    canvas.polygon(QPolygonF({{65, 14638}, {1736, 14637}, {1738, 3}, {64, 6}}), palette::RulerBody, palette::RulerBody,
                   pen);
    canvas.polygon(QPolygonF({{1139, 14648}, {1729, 14646}, {1732, -2}, {1139, 0}}), palette::LowerBand,
                   palette::RulerBody, pen);

    // Counted from the bottom (k = 0) up.
    static constexpr double Majors[13]
        = {14603, 13393, 12180, 10967, 9748, 8539, 7321, 6106, 4894, 3684, 2468, 1260, 37};
    for (int k = 0; k <= 48; ++k) {
        const double y = quarterPosition(Majors, k);
        // The ticks' left ends drift from x 62 at the bottom to 100 at the top.
        const double left = 62 + 38.0 * k / 48;
        const double length = k % 4 == 0 ? 780 : (k % 2 == 0 ? 472 : 212);
        canvas.line({left, y}, {left + length, y}, palette::Ink, pen);
    }

    // Numerals are laid out upright and turned a quarter turn anticlockwise:
    // upright x runs up the scale from the box's bottom, upright y runs right.
    // Each numeral's top and bottom.
    static constexpr double Numerals[12][2]
        = {{13558, 13663}, {12287, 12465}, {11065, 11258}, {9852, 10058}, {8624, 8817}, {7434, 7623},
           {6225, 6419},   {4991, 5180},   {3804, 3988},   {2552, 2905},  {1334, 1637}, {111, 488}};
    // Its digits are a little fuller than the horizontal scale's.
    const double digitLeft = 734, digitHeight = 325, widen = 1.05;
    for (int n = 1; n <= 12; ++n) {
        const double top = Numerals[n - 1][0], bottom = Numerals[n - 1][1];
        const QTransform turn(0, -1, 1, 0, digitLeft, bottom);
        addNumber(canvas, n, QRectF(0, 0, bottom - top, digitHeight), turn, widen);
    }

    // Reads upward, centred on (1268, 13838) with the top of its text cell on x 1268.
    canvas.fill(QTransform(0, -1, 1, 0, 1268, 13838).map(productWordPath(353, true)), palette::ProductWord);
}

void drawRulerStrip(Canvas &canvas)
{
    const double pen = 6.3;
    const double belowBottom = extentUnits(Picture::RulerStrip).height() + 20;
    canvas.polygon(corners(6.3, 6.3, 3590.9, 19.0), palette::ShadowStrip, palette::ShadowRim, pen);
    canvas.polygon(corners(7.1, 19.0, 3591.7, belowBottom), palette::RulerBody, palette::RulerBody, pen);
    canvas.polygon(corners(6.3, 261.6, 3590.9, belowBottom), palette::LowerBand, palette::RulerBody, pen);

    double majors[13];
    for (int n = 0; n <= 12; ++n)
        majors[n] = 140.0 + 277.1 * n;
    for (int k = 0; k <= 48; ++k) {
        const double x = quarterPosition(majors, k);
        const double bottom = k % 4 == 0 ? 202 : (k % 2 == 0 ? 131.6 : 69);
        canvas.line({x, 19.0}, {x, bottom}, palette::Ink, pen);
    }
    const double top = 173.6, height = 249.7 - 173.6, gap = 18, clearance = 26;
    for (int n = 1; n <= 12; ++n) {
        const double w = numberWidth(n, height, gap);
        const double right = majors[n] - clearance;
        addNumber(canvas, n, QRectF(right - w, top, w, height));
    }
}

} // namespace zentyr::artwork

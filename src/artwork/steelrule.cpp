// SPDX-License-Identifier: MIT
// The grey steel rule behind the information window. The whole drawing is
// about 21 x 25 inches; the window only ever shows a slice of its inch edge.
// It is drawn in its own space, y upward, stretched unevenly onto the picture.

#include "artwork/digits.h"
#include "artwork/pictures.h"

#include <QRectF>

namespace zentyr::artwork {

namespace {

const QColor Plate(0xC6, 0xC6, 0xC6);
const QColor Shade(0xB5, 0xB5, 0xB5);
const QColor ShadeEdge(0x6D, 0x6D, 0x6D);
const QColor Light(0xDB, 0xDB, 0xDB);
const QColor Ink(0x00, 0x00, 0x00);

constexpr double Left = 3691, Right = 29071, Bottom = 8969, Top = 12875;
constexpr double Hair = 1;

// Long inch tick i, counted from the right. The ticks the window shows (5 to 8)
// stand a few units off the even spacing; they keep their drawn places.
double inchTick(int i)
{
    constexpr double Shown[] = {18397, 16412, 14429, 12448};
    return i >= 5 && i <= 8 ? Shown[i - 5] : 28317 - 1983.5 * i;
}

// Short inch tick between long ticks i and i + 1; those the window shows (5 to 7)
// keep their drawn places too.
double inchHalfTick(int i)
{
    constexpr double Shown[] = {17397, 15413, 13429};
    return i >= 5 && i <= 7 ? Shown[i - 5] : (inchTick(i) + inchTick(i + 1)) / 2;
}

void addNumberOutline(Canvas &canvas, int number, const QRectF &box, const QTransform &turn)
{
    for (const PlacedDigit &d : layoutNumber(number, box))
        for (const QPolygonF &contour : digitContours(d.digit)) {
            QPolygonF closed = placeDigit(contour, d.box, turn);
            closed << closed.first();
            canvas.polygon(closed, QColor(), Ink, Hair, false);
        }
}

} // namespace

void drawSteelRule(Canvas &canvas)
{
    canvas.polygon(QRectF(QPointF(Left, Bottom), QPointF(Right, Top)), Plate, Plate, Hair);
    canvas.polygon(QPolygonF({{29071, 8969}, {3691, 8969}, {3691, 12875}, {3953, 12621}, {3953, 9223}, {28821, 9223}}),
                   Shade, ShadeEdge, Hair);
    canvas.polygon(
        QPolygonF({{3695, 12875}, {29075, 12875}, {29075, 8969}, {28817, 9223}, {28821, 12621}, {3945, 12621}}), Light,
        Light, Hair);

    // Centimetre ticks, a short one after each, and their numerals upright under
    // them: laid out with y downward from the digits' top at 12285, then flipped
    // into this y-up space.
    const double cmHeight = 12285 - 11945;
    for (int cm = 0; cm <= 30; ++cm) {
        const double x = 4515 + 780.8 * cm;
        canvas.line({x, Top}, {x, 12367}, Ink, Hair);
        const double half = 4515 + 780.8 * (cm + 0.5);
        canvas.line({half, Top}, {half, 12621}, Ink, Hair);
        const double w = numberWidth(cm, cmHeight, 0.2 * cmHeight);
        addNumberOutline(canvas, cm, QRectF(x - w / 2, 0, w, cmHeight), QTransform(1, 0, 0, -1, 0, 12285));
    }
    // Inch ticks, a short one between each two, and their numerals turned half a
    // turn, so they read with the rule end for end: mirrored about the tick and
    // with their tops at 9742, the lower side.
    const double inHeight = 10117 - 9742;
    for (int i = 0; i <= 12; ++i) {
        const double x = inchTick(i);
        canvas.line({x, Bottom}, {x, 9473}, Ink, Hair);
        if (i < 12)
            canvas.line({inchHalfTick(i), Bottom}, {inchHalfTick(i), 9223}, Ink, Hair);
        const double w = numberWidth(i, inHeight, 0.2 * inHeight);
        addNumberOutline(canvas, i, QRectF(x - w / 2, 0, w, inHeight), QTransform(-1, 0, 0, 1, 2 * x, 9742));
    }

    canvas.polygon(QPolygonF({{Right, Bottom}, {Left, Bottom}, {Left, Top}}), QColor(), Ink, Hair, false);
}

} // namespace zentyr::artwork

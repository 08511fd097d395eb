// SPDX-License-Identifier: MIT
// The pictures as a person sees them: each is rendered large and measured in
// pixels against the published positions, sizes and colours.

#include "artwork/artwork.h"

#include <QPainter>
#include <QtTest>

#include <cmath>

using namespace zentyr::artwork;

namespace {

const QRgb ShadowFill = qRgb(0xA0, 0xA0, 0xA0), ShadowRim = qRgb(0x60, 0x60, 0x60);
const QRgb Body = qRgb(0xFF, 0xA0, 0x40), Band = qRgb(0xC0, 0x60, 0x00);
const QRgb Plate = qRgb(0xC6, 0xC6, 0xC6), Bevel = qRgb(0xB5, 0xB5, 0xB5);

#define EXPECT_IN(value, lo, hi)                                                                                       \
    do {                                                                                                               \
        const double v_ = (value);                                                                                     \
        QVERIFY2(v_ >= (lo) && v_ <= (hi),                                                                             \
                 qPrintable(QStringLiteral("%1 = %2, want %3..%4").arg(#value).arg(v_).arg(lo).arg(hi)));              \
    } while (0)
#define EXPECT_NEAR(value, want, tolerance) EXPECT_IN(value, (want) - (tolerance), (want) + (tolerance))

// A picture rendered onto transparent pixels at a fixed number of units per pixel.
struct Rendered {
    QImage img;
    double upp = 1;
    int px(double units) const { return int(std::floor(units / upp)); }
    QRgb at(double ux, double uy) const { return img.pixel(px(ux), px(uy)); }
};

Rendered renderAt(Picture p, double unitsPerPixel)
{
    const QSizeF size = extentUnits(p) / unitsPerPixel;
    Rendered r{QImage(int(std::ceil(size.width())), int(std::ceil(size.height())), QImage::Format_ARGB32),
               unitsPerPixel};
    r.img.fill(Qt::transparent);
    QPainter painter(&r.img);
    paint(p, painter, QRectF(QPointF(0, 0), size));
    return r;
}

// The information window's client area (7650 twips wide) onto transparent pixels.
Rendered infoClient(double heightTwips, double twipsPerPixel)
{
    Rendered r{QImage(int(std::round(7650 / twipsPerPixel)), int(std::round(heightTwips / twipsPerPixel)),
                      QImage::Format_ARGB32),
               twipsPerPixel};
    r.img.fill(Qt::transparent);
    QPainter p(&r.img);
    paintSteelRuleSlice(p, QRectF(r.img.rect()), twipsPerPixel, twipsPerPixel);
    return r;
}

// Ink, not the shadow's dark grey rim (#606060).
bool isDark(QRgb c) { return qAlpha(c) > 200 && qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isYellow(QRgb c) { return qAlpha(c) > 200 && qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 100; }
bool drawn(QRgb c) { return qAlpha(c) != 0; }

#define EXPECT_COLOUR(r, ux, uy, want)                                                                                 \
    do {                                                                                                               \
        const QRgb c_ = (r).at(ux, uy);                                                                                \
        const bool ok_ = qAlpha(c_) == 255 && std::abs(qRed(c_) - qRed(want)) <= 6                                     \
            && std::abs(qGreen(c_) - qGreen(want)) <= 6 && std::abs(qBlue(c_) - qBlue(want)) <= 6;                     \
        QVERIFY2(ok_,                                                                                                  \
                 qPrintable(QStringLiteral("at (%1, %2): #%3, want #%4")                                               \
                                .arg(ux)                                                                               \
                                .arg(uy)                                                                               \
                                .arg(c_, 8, 16, QChar('0'))                                                            \
                                .arg(want, 8, 16, QChar('0'))));                                                       \
    } while (0)

// Centres, in units, of the runs of dark pixels along a row (or a column).
QList<double> darkRuns(const Rendered &r, bool alongRow, double fixedUnits, double from = 0, double to = 1e9)
{
    QList<double> centres;
    const int limit = (alongRow ? r.img.width() : r.img.height()) - 1;
    const int last = to / r.upp >= limit ? limit : r.px(to);
    int start = -1;
    for (int i = std::max(0, r.px(from)); i <= last + 1; ++i) {
        const QPoint p = alongRow ? QPoint(i, r.px(fixedUnits)) : QPoint(r.px(fixedUnits), i);
        const bool dark = i <= last && isDark(r.img.pixel(p));
        if (dark && start < 0)
            start = i;
        if (!dark && start >= 0) {
            centres << (start + i) / 2.0 * r.upp;
            start = -1;
        }
    }
    return centres;
}

// Bounding box, in units, of the pixels in area (units) that pass test.
QRectF inkBox(const Rendered &r, const QRectF &area, bool (*test)(QRgb) = isDark)
{
    const QRect pixels
        = QRect(QPoint(r.px(area.left()), r.px(area.top())), QPoint(r.px(area.right()), r.px(area.bottom())))
              .intersected(r.img.rect());
    QRect box;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (test(r.img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return QRectF(box.x() * r.upp, box.y() * r.upp, box.width() * r.upp, box.height() * r.upp);
}

// Pixels passing test from the given unit coordinates to the image's end.
int countFrom(const Rendered &r, double ux, double uy, bool (*test)(QRgb), double uxEnd = 1e9, double uyEnd = 1e9)
{
    int n = 0;
    for (int y = std::max(0, r.px(uy)); y < std::min(r.img.height(), r.px(uyEnd)); ++y)
        for (int x = std::max(0, r.px(ux)); x < std::min(r.img.width(), r.px(uxEnd)); ++x)
            n += test(r.img.pixel(x, y)) ? 1 : 0;
    return n;
}

void compareRuns(const QList<double> &got, const QList<double> &want, double tolerance)
{
    QCOMPARE(got.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tolerance);
}

constexpr double InchMajors[13] = {38, 1294, 2557, 3817, 5080, 6332, 7599, 8855, 10115, 11375, 12634, 13890, 15157};
constexpr double InchNumerals[12][2]
    = {{1018, 1124}, {2259, 2446},  {3515, 3716},   {4759, 4975},   {6051, 6249},   {7289, 7483},
       {8542, 8739}, {9827, 10020}, {11068, 11258}, {12183, 12550}, {13505, 13814}, {14700, 15084}};
constexpr double VerticalMajors[13] = {14603, 13393, 12180, 10967, 9748, 8539, 7321, 6106, 4894, 3684, 2468, 1260, 37};
constexpr double VerticalNumerals[12][2]
    = {{13558, 13663}, {12287, 12465}, {11065, 11258}, {9852, 10058}, {8624, 8817}, {7434, 7623},
       {6225, 6419},   {4991, 5180},   {3804, 3988},   {2552, 2905},  {1334, 1637}, {111, 488}};

} // namespace

class TestArtworkPictures : public QObject {
    Q_OBJECT

private slots:
    void inchBandsAndUndrawnEdges();
    void inchTicks();
    void inchNumerals();
    void inchProductWord();
    void metricTicksAndLabels();
    void metricBandsAndEdges();
    void verticalBandsAndTicks();
    void verticalNumeralsAreTurned();
    void verticalProductWordReadsUpward();
    void stripLayout();
    void steelRuleSlice();
    void steelRuleSliceInTallWindow();
    void steelRuleSliceStaysInClient();
};

void TestArtworkPictures::inchBandsAndUndrawnEdges()
{
    const Rendered r = renderAt(Picture::InchScale, 2);
    const double x = 5550; // between quarter ticks 17 and 18
    EXPECT_COLOUR(r, x, 28, ShadowRim);
    EXPECT_COLOUR(r, x, 60, ShadowFill);
    EXPECT_COLOUR(r, x, 150, Body);
    EXPECT_COLOUR(r, x, 1100, Body);
    EXPECT_COLOUR(r, 7000, 1500, Band);
    EXPECT_COLOUR(r, 7000, 1850, Body); // the band's orange rim at the bottom
    EXPECT_COLOUR(r, 2, 1500, Body);    // ... and at its left end
    EXPECT_COLOUR(r, 10, 1500, Band);
    EXPECT_COLOUR(r, 2, 60, ShadowRim); // the shadow's rim at its left end
    // Nothing above y 24 or right of x 15179.
    QCOMPARE(countFrom(r, 0, 0, drawn, 1e9, 24), 0);
    QCOMPARE(countFrom(r, 15180, 0, drawn), 0);
    QVERIFY(drawn(r.at(15170, 1000)));
}

void TestArtworkPictures::inchTicks()
{
    const Rendered r = renderAt(Picture::InchScale, 2);
    // Below the half ticks and above the numerals only the 13 majors remain.
    compareRuns(darkRuns(r, true, 700), QList<double>(std::begin(InchMajors), std::end(InchMajors)), 3);
    QCOMPARE(darkRuns(r, true, 500).size(), 25);
    const QList<double> all = darkRuns(r, true, 200);
    QCOMPARE(all.size(), 49);
    for (int k = 0; k <= 48; ++k)
        EXPECT_NEAR(all[k], 38 + 314.9 * k, 30);
    // All hang from the body's top edge; majors end at 904..937, halves at
    // 597, quarters at 306..334; 8 units wide.
    for (double x : {InchMajors[0], InchMajors[6], InchMajors[12]}) {
        QCOMPARE(darkRuns(r, false, x, 0, 1180).size(), 1);
        const QRectF tick = inkBox(r, QRectF(x - 10, 0, 20, 1180));
        EXPECT_NEAR(tick.top(), 86, 4);
        EXPECT_IN(tick.bottom(), 904, 937);
    }
    EXPECT_NEAR(inkBox(r, QRectF(all[2] - 8, 0, 16, 1180)).bottom(), 597, 4);
    const QRectF quarter = inkBox(r, QRectF(all[1] - 8, 0, 16, 1180));
    EXPECT_IN(quarter.bottom(), 306, 334);
    EXPECT_NEAR(quarter.width(), 8, 2);
}

void TestArtworkPictures::inchNumerals()
{
    const Rendered r = renderAt(Picture::InchScale, 2);
    for (int n = 1; n <= 12; ++n) {
        // Well around the listed box, short of the tick.
        const QRectF box
            = inkBox(r, QRectF(QPointF(InchNumerals[n - 1][0] - 60, 700), QPointF(InchMajors[n] - 20, 1180)));
        EXPECT_NEAR(box.left(), InchNumerals[n - 1][0], 6);
        EXPECT_NEAR(box.right(), InchNumerals[n - 1][1], 6);
        EXPECT_NEAR(box.top(), 789, 6);
        EXPECT_NEAR(box.bottom(), 1134, 6);
        EXPECT_IN(InchMajors[n] - box.right(), 73 - 6, 170 + 6);
    }
    // Two-digit numbers: a 1 about 106 wide, then the second digit 74..94 on.
    for (int n : {10, 11, 12}) {
        const QRectF one = inkBox(r, QRectF(InchNumerals[n - 1][0] - 10, 780, 130, 360));
        const QRectF second = inkBox(r, QRectF(one.right() + 2, 780, 400, 360));
        EXPECT_NEAR(one.width(), 106, 8);
        EXPECT_IN(second.left() - one.right(), 74 - 3, 94 + 3);
    }
    // Major tick 0 carries no numeral.
    QCOMPARE(countFrom(r, 0, 700, isDark, 30, 1180), 0);
}

void TestArtworkPictures::inchProductWord()
{
    const Rendered r = renderAt(Picture::InchScale, 2);
    const QRectF word = inkBox(r, QRectF(0, 0, 15187, 1854), isYellow);
    // Text cell from (137, 1366), em 353: capitals start about 67 below the
    // cell's top, the y's descender ends near the cell's bottom (1760).
    EXPECT_IN(word.left(), 137, 180);
    EXPECT_IN(word.top(), 1410, 1460);
    EXPECT_IN(word.bottom(), 1720, 1770);
    EXPECT_IN(word.width(), 950, 1150); // six bold letters, about three em
    const int yellow = countFrom(r, word.left(), word.top(), isYellow, word.right(), word.bottom());
    EXPECT_IN(yellow / (word.width() * word.height() / 4), 0.2, 0.8);
}

void TestArtworkPictures::metricTicksAndLabels()
{
    const Rendered r = renderAt(Picture::MetricScale, 1);
    const QList<double> all = darkRuns(r, true, 40);
    QCOMPARE(all.size(), 151);
    for (int k = 0; k <= 150; ++k)
        EXPECT_NEAR(all[k], 144.0 + 22.184 * k, 4);
    // Every fifth reaches 180.1, the rest stop at 68.5; nothing in between.
    QCOMPARE(darkRuns(r, true, 75).size(), 31);
    QCOMPARE(darkRuns(r, true, 170).size(), 31);
    const QRectF first = inkBox(r, QRectF(130, 0, 30, 200));
    EXPECT_NEAR(first.top(), 18.6, 3);
    EXPECT_NEAR(first.bottom(), 180.1, 3);
    EXPECT_NEAR(inkBox(r, QRectF(all[1] - 8, 0, 16, 200)).bottom(), 68.5, 3);
    QCOMPARE(countFrom(r, 0, 0, isDark, 130, 190), 0); // no tick before the one labelled 10

    // Labels 10 .. 310 centred under the long ticks (within 9, mostly 4).
    int closelyCentred = 0;
    for (int j = 0; j <= 30; ++j) {
        const double tick = 144.0 + 22.184 * 5 * j;
        const QRectF label = inkBox(r, QRectF(tick - 55, 190, 110, 60));
        EXPECT_NEAR(label.center().x(), tick, 9);
        closelyCentred += std::abs(label.center().x() - tick) <= 4;
        EXPECT_NEAR(label.top(), 203.1, 2);
        EXPECT_NEAR(label.bottom(), 237.2, 2);
        if (j < 9)
            EXPECT_IN(label.width(), 39 - 4, 48 + 2);
        else
            EXPECT_IN(label.width(), 51 - 3, 71 + 3);
    }
    QVERIFY(closelyCentred >= 25);
}

void TestArtworkPictures::metricBandsAndEdges()
{
    const Rendered r = renderAt(Picture::MetricScale, 1);
    const double x = 144.0 + 22.184 * 2.5; // between two short ticks
    EXPECT_COLOUR(r, x, 4, ShadowRim);
    EXPECT_COLOUR(r, x, 12, ShadowFill);
    EXPECT_COLOUR(r, x, 120, Body);
    EXPECT_COLOUR(r, x, 330, Band);
    EXPECT_COLOUR(r, 3000, 408, Body);
    // The band is free of marks: the window's own word label goes there.
    QCOMPARE(countFrom(r, 0, 266, isDark, 1e9, 402), 0);
    // Nothing outside x 3.15..3594, y 1.95..409.9.
    QCOMPARE(countFrom(r, 0, 0, drawn, 3), 0);
    QCOMPARE(countFrom(r, 3595, 0, drawn), 0);
    QCOMPARE(countFrom(r, 0, 0, drawn, 1e9, 2), 0);
    QCOMPARE(countFrom(r, 0, 410, drawn), 0);
}

void TestArtworkPictures::verticalBandsAndTicks()
{
    const Rendered r = renderAt(Picture::VerticalScale, 2);
    EXPECT_COLOUR(r, 36, 7000, ShadowFill);
    EXPECT_COLOUR(r, 600, 7150, Body);  // between two ticks
    EXPECT_COLOUR(r, 1140, 7000, Body); // the band's orange rim
    EXPECT_COLOUR(r, 1400, 7000, Band);
    EXPECT_COLOUR(r, 1700, 100, Band);
    EXPECT_COLOUR(r, 1734, 100, Body); // its rim runs to the picture's right edge
    QCOMPARE(countFrom(r, 0, 0, drawn, 12), 0);
    QCOMPARE(countFrom(r, 0, 14652, drawn), 0);

    // Down the column x 700 only the majors reach; listed here bottom up.
    compareRuns(darkRuns(r, false, 700), QList<double>(std::rbegin(VerticalMajors), std::rend(VerticalMajors)), 4);
    QCOMPARE(darkRuns(r, false, 400).size(), 25);
    const QList<double> all = darkRuns(r, false, 200);
    QCOMPARE(all.size(), 49);
    for (int k = 0; k <= 48; ++k) // top down, while k counts from the bottom
        EXPECT_NEAR(all[48 - k], 14603.9 - 303.39 * k, 36);
    // Left ends drift from 62 at the bottom to about 100 at the top; right
    // ends 841..888 (majors), 537..569 (halves), 271..313 (quarters).
    const QRectF bottom = inkBox(r, QRectF(0, 14603 - 10, 1100, 20));
    const QRectF top = inkBox(r, QRectF(0, 37 - 10, 1100, 20));
    EXPECT_NEAR(bottom.left(), 62, 4);
    EXPECT_NEAR(top.left(), 100, 4);
    EXPECT_IN(bottom.right(), 841, 888);
    EXPECT_IN(top.right(), 841, 888);
    EXPECT_IN(inkBox(r, QRectF(0, all[46] - 8, 1100, 16)).right(), 537 - 4, 569 + 4);
    EXPECT_IN(inkBox(r, QRectF(0, all[47] - 8, 1100, 16)).right(), 271, 313 + 3);
}

void TestArtworkPictures::verticalNumeralsAreTurned()
{
    const Rendered r = renderAt(Picture::VerticalScale, 2);
    for (int n = 1; n <= 12; ++n) {
        // Just below the tick, clear of the next one.
        const QRectF box
            = inkBox(r, QRectF(QPointF(700, VerticalMajors[n] + 20), QPointF(1100, VerticalMajors[n - 1] - 40)));
        EXPECT_NEAR(box.top(), VerticalNumerals[n - 1][0], 6);
        EXPECT_NEAR(box.bottom(), VerticalNumerals[n - 1][1], 6);
        EXPECT_IN(box.left(), 722, 760);
        EXPECT_IN(box.right(), 1030, 1071);
        EXPECT_IN(box.top() - VerticalMajors[n], 74 - 6, 165 + 6);
    }
    // In 10 the 1 is the lower digit: 2801..2905, the 0 at 2552..2736.
    const QRectF one = inkBox(r, QRectF(700, 2770, 400, 160));
    const QRectF zero = inkBox(r, QRectF(700, 2530, 400, 230));
    EXPECT_NEAR(one.top(), 2801, 8);
    EXPECT_NEAR(one.bottom(), 2905, 6);
    EXPECT_NEAR(zero.top(), 2552, 6);
    EXPECT_NEAR(zero.bottom(), 2736, 8);
    // The 7 (y 6225..6419) turned anticlockwise: its top bar along the left,
    // the foot of its stem on the right and, as the stem leans back towards
    // the digit's start, in the lower half.
    EXPECT_IN(inkBox(r, QRectF(750, 6200, 20, 240)).height(), 0.8 * 194, 200);
    const QRectF foot = inkBox(r, QRectF(1040, 6200, 8, 240));
    EXPECT_IN(foot.height(), 1, 0.5 * 194);
    EXPECT_IN(foot.center().y(), (6225 + 6419) / 2.0, 6419);
}

void TestArtworkPictures::verticalProductWordReadsUpward()
{
    const Rendered r = renderAt(Picture::VerticalScale, 2);
    const QRectF word = inkBox(r, QRectF(0, 0, 1736, 14681), isYellow);
    // Top of the text cell on x 1268, letters to its right; centred on y 13838.
    EXPECT_IN(word.left(), 1268, 1360);
    EXPECT_IN(word.right(), 1268 + 300, 1268 + 400);
    EXPECT_NEAR(word.center().y(), 13838, 30);
    EXPECT_IN(word.height(), 950, 1150);
    // Reading upward, the capital Z is at the bottom, reaching furthest left
    // (towards the letters' tops), and the y's descender near the top reaches
    // furthest right.
    const QRectF zPart = inkBox(r, QRectF(1200, word.bottom() - 120, 500, 120), isYellow);
    const QRectF middle = inkBox(r, QRectF(1200, word.center().y() - 60, 500, 120), isYellow);
    const QRectF yPart = inkBox(r, QRectF(1200, word.top(), 500, 0.35 * word.height()), isYellow);
    EXPECT_IN(middle.left() - zPart.left(), 30, 120);
    EXPECT_IN(yPart.right() - zPart.right(), 40, 120);
}

void TestArtworkPictures::stripLayout()
{
    const Rendered r = renderAt(Picture::RulerStrip, 1);
    const double x = 140.0 + 69.27 * 0.5;
    EXPECT_COLOUR(r, x, 12, ShadowFill);
    EXPECT_COLOUR(r, x, 100, Body);
    EXPECT_COLOUR(r, x, 300, Band);
    EXPECT_COLOUR(r, x, 396, Band); // the band runs on past the bottom edge

    QList<double> majors;
    for (int n = 0; n <= 12; ++n)
        majors << 140.0 + 277.1 * n;
    compareRuns(darkRuns(r, true, 160), majors, 2);
    QCOMPARE(darkRuns(r, true, 100).size(), 25);
    QCOMPARE(darkRuns(r, true, 50).size(), 49);
    for (int n = 1; n <= 12; ++n) {
        const QRectF box = inkBox(r, QRectF(majors[n] - 150, 165, 142, 95));
        EXPECT_IN(majors[n] - box.right(), 16, 37);
        EXPECT_NEAR(box.top(), 173.6, 2);
        EXPECT_NEAR(box.bottom(), 249.7, 2);
        if (n < 10)
            EXPECT_IN(box.width(), n == 1 ? 21 : 39, n == 1 ? 27 : 50);
    }
}

void TestArtworkPictures::steelRuleSlice()
{
    const Rendered r = infoClient(3765, 15);
    EXPECT_COLOUR(r, 600, 300, Plate);
    EXPECT_COLOUR(r, 600, 1700, Plate);
    EXPECT_COLOUR(r, 600, 1850, Bevel);
    EXPECT_COLOUR(r, 600, 3700, Bevel);
    QCOMPARE(countFrom(r, 0, 0, [](QRgb c) { return qAlpha(c) != 255; }), 0); // covers the whole client
    // Above 1775 only the long inch ticks, running the full height; below it
    // the short ones join. All one pixel wide.
    compareRuns(darkRuns(r, true, 900), {52, 2371, 4693, 7017}, 15);
    compareRuns(darkRuns(r, true, 3000), {52, 1200, 2371, 3523, 4693, 5846, 7017}, 15);
    for (double x : {52.0, 2371.0, 7017.0})
        QCOMPARE(inkBox(r, QRectF(x - 10, 0, 20, 3765)).height(), 3765.0);
    for (double x : {1200.0, 3523.0, 5846.0}) {
        const QRectF tick = inkBox(r, QRectF(x - 15, 0, 30, 3765));
        EXPECT_NEAR(tick.top(), 1775, 20);
        QCOMPARE(tick.bottom(), 3765.0);
    }
    QCOMPARE(inkBox(r, QRectF(2371 - 30, 900, 60, 1)).width(), 15.0);

    // At 3 twips per pixel the ticks stand within two pixels of their places,
    // closer than even spacing would put the short ones.
    const Rendered fine = infoClient(3765, 3);
    compareRuns(darkRuns(fine, true, 900), {52, 2371, 4693, 7017}, 6);
    compareRuns(darkRuns(fine, true, 3000), {52, 1200, 2371, 3523, 4693, 5846, 7017}, 6);
    EXPECT_COLOUR(fine, 600, 1760, Plate);
    EXPECT_COLOUR(fine, 600, 1790, Bevel);
}

void TestArtworkPictures::steelRuleSliceInTallWindow()
{
    const Rendered r = infoClient(7410, 15); // the information role's client area
    EXPECT_COLOUR(r, 600, 4060, Bevel);
    // The drawing's bottom edge: a black line at 4100, then nothing down to the
    // window's own background.
    const QRectF edge = inkBox(r, QRectF(600, 3900, 1, 600));
    EXPECT_NEAR(edge.top(), 4100, 15);
    EXPECT_IN(edge.height(), 15, 30);
    EXPECT_COLOUR(r, 3000, edge.top(), qRgb(0, 0, 0));
    QCOMPARE(countFrom(r, 0, edge.bottom(), drawn), 0);
}

void TestArtworkPictures::steelRuleSliceStaysInClient()
{
    Rendered r{QImage(600, 400, QImage::Format_ARGB32), 1};
    r.img.fill(Qt::transparent);
    const QRect client(40, 30, 510, 251);
    {
        QPainter p(&r.img);
        paintSteelRuleSlice(p, client, 15, 15);
    }
    const int area = client.width() * client.height();
    QCOMPARE(countFrom(r, client.left(), client.top(), drawn, client.right() + 1, client.bottom() + 1), area);
    QCOMPARE(countFrom(r, 0, 0, drawn), area);
    // The same slice as at the origin: the first long tick 52 twips in.
    EXPECT_NEAR((darkRuns(r, true, client.top() + 10, client.left()).value(0) - client.left()) * 15, 52, 15);
}

QTEST_MAIN(TestArtworkPictures)
#include "test_artwork_pictures.moc"

// SPDX-License-Identifier: MIT
// The digit shapes and the way numbers are laid into their boxes.

#include "artwork/digits.h"

#include <QPainter>
#include <QPainterPath>
#include <QtTest>

using namespace zentyr::artwork;

namespace {

// The digit filled into box on white, either as the scales fill it (one
// polygon, even-odd) or from its separate contours, with no slits at all.
QImage drawDigit(int d, const QRectF &box, const QSize &size, bool onePolygon)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (onePolygon)
        path.addPolygon(placeDigit(digitPolygon(d), box));
    else
        for (const QPolygonF &c : digitContours(d))
            path.addPolygon(placeDigit(c, box));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(path, Qt::black);
    return img;
}

} // namespace

class TestArtworkDigits : public QObject {
    Q_OBJECT

private slots:
    void shapes();
    void onePolygonLeavesCountersOpenWithoutVisibleSlits();
    void digitsStayDistinctWhenSmall();
    void layout();
};

void TestArtworkDigits::shapes()
{
    // 0, 4, 6 and 9 have one counter, 8 two, the rest none.
    const int counters[10] = {1, 0, 0, 0, 1, 0, 1, 0, 2, 1};
    for (int d = 0; d < 10; ++d) {
        QCOMPARE(qsizetype(digitContours(d).size()), qsizetype(1 + counters[d]));
        QCOMPARE(digitContours(d).front().boundingRect(), QRectF(0, 0, 1, 1));
        // The one polygon runs through every corner of every contour.
        const QPolygonF poly = digitPolygon(d);
        QCOMPARE(poly.boundingRect(), QRectF(0, 0, 1, 1));
        for (const QPolygonF &c : digitContours(d))
            for (const QPointF &pt : c)
                QVERIFY(poly.contains(pt));
    }
    // Proportions of the inch scale's numerals: the 1 narrow, the rest 0.53..0.63.
    QVERIFY(digitAspect(1) > 0.29 && digitAspect(1) < 0.33);
    for (int d : {0, 2, 3, 4, 5, 6, 7, 8, 9})
        QVERIFY2(digitAspect(d) >= 0.53 && digitAspect(d) <= 0.63, qPrintable(QString::number(d)));
}

void TestArtworkDigits::onePolygonLeavesCountersOpenWithoutVisibleSlits()
{
    for (int d = 0; d < 10; ++d) {
        const QRectF box(10, 10, digitAspect(d) * 180, 180);
        const QImage one = drawDigit(d, box, QSize(180, 200), true);
        const QImage ref = drawDigit(d, box, QSize(180, 200), false);
        int ink = 0, differing = 0, worst = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x) {
                const int diff = std::abs(qGray(one.pixel(x, y)) - qGray(ref.pixel(x, y)));
                worst = std::max(worst, diff);
                differing += diff > 8;
                ink += qGray(one.pixel(x, y)) < 128;
            }
        QVERIFY2(
            worst <= 24 && differing <= 4,
            qPrintable(QStringLiteral("digit %1: %2 pixels differ, worst by %3").arg(d).arg(differing).arg(worst)));
        // Bold, but neither a sliver nor a block.
        const double share = ink / (box.width() * box.height());
        QVERIFY2(share > 0.3 && share < 0.8, qPrintable(QStringLiteral("digit %1: %2").arg(d).arg(share)));
        // Every counter is open in the middle.
        for (size_t c = 1; c < digitContours(d).size(); ++c) {
            const QPolygonF hole = placeDigit(digitContours(d)[c], box);
            QPointF centre;
            for (const QPointF &pt : hole)
                centre += pt / hole.size();
            QVERIFY2(qGray(one.pixel(centre.toPoint())) > 200, qPrintable(QStringLiteral("digit %1").arg(d)));
        }
    }
}

void TestArtworkDigits::digitsStayDistinctWhenSmall()
{
    // At the inch scale's size on screen, 13 pixels tall, every pair of digits
    // differs clearly in at least 8 pixels.
    QList<QImage> small;
    for (int d = 0; d < 10; ++d)
        small << drawDigit(d, QRectF(0, 0, 8, 13), QSize(8, 13), true);
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b) {
            int differing = 0;
            for (int y = 0; y < 13; ++y)
                for (int x = 0; x < 8; ++x)
                    differing += std::abs(qGray(small[a].pixel(x, y)) - qGray(small[b].pixel(x, y))) > 100;
            QVERIFY2(differing >= 8, qPrintable(QStringLiteral("%1 and %2: %3").arg(a).arg(b).arg(differing)));
        }
}

void TestArtworkDigits::layout()
{
    // A lone digit fills its box.
    const QRectF four(4759, 789, 216, 345);
    QCOMPARE(layoutNumber(4, four).size(), size_t(1));
    QCOMPARE(layoutNumber(4, four)[0].box, four);

    // The inch scale's 12 (14700..15084): digits keep their widths, the rest is gap.
    const QRectF box(QPointF(14700, 789), QPointF(15084, 1134));
    const auto twelve = layoutNumber(12, box);
    QCOMPARE(twelve.size(), size_t(2));
    QCOMPARE(twelve[0].digit, 1);
    QCOMPARE(twelve[1].digit, 2);
    QCOMPARE(twelve[0].box.left(), 14700.0);
    QCOMPARE(twelve[1].box.right(), 15084.0);
    QVERIFY(std::abs(twelve[0].box.width() - 107.6) < 1);
    QVERIFY(std::abs(twelve[1].box.width() - 187) < 1);
    const double gap = twelve[1].box.left() - twelve[0].box.right();
    QVERIFY2(gap >= 74 && gap <= 94, qPrintable(QString::number(gap)));
    // A width factor widens the digits and narrows the gap.
    const auto wide = layoutNumber(12, box, 1.1);
    QVERIFY(std::abs(wide[0].box.width() - 1.1 * twelve[0].box.width()) < 1e-9);
    QVERIFY(wide[1].box.left() - wide[0].box.right() < gap);

    // Laid into numberWidth() the gaps come out as asked, all equal.
    const auto label = layoutNumber(310, QRectF(0, 0, numberWidth(310, 34, 4, 1.1), 34), 1.1);
    QCOMPARE(label.size(), size_t(3));
    for (size_t i = 1; i < label.size(); ++i)
        QVERIFY(std::abs(label[i].box.left() - label[i - 1].box.right() - 4) < 1e-9);
}

QTEST_MAIN(TestArtworkDigits)
#include "test_artwork_digits.moc"

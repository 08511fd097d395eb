// SPDX-License-Identifier: MIT
// Natural sizes, the cached pixmaps, and painting through arbitrary painters.

#include "artwork/artwork.h"

#include <QPainter>
#include <QtTest>

#include <functional>

using namespace zentyr::artwork;

namespace {

const QRgb Body = qRgb(0xFF, 0xA0, 0x40);
const QRgb Band = qRgb(0xC0, 0x60, 0x00);

bool pureBlack(QRgb c) { return c == qRgb(0, 0, 0); }

// Runs of pure black along a row: (start, length) pairs.
QList<QPair<int, int>> blackRuns(const QImage &img, int y)
{
    QList<QPair<int, int>> runs;
    for (int x = 0; x < img.width(); ++x) {
        if (!pureBlack(img.pixel(x, y)))
            continue;
        int end = x;
        while (end + 1 < img.width() && pureBlack(img.pixel(end + 1, y)))
            ++end;
        runs.append({x, end - x + 1});
        x = end;
    }
    return runs;
}

// The picture painted at (0, 0, 576, 66) in the coordinates setup leaves.
QImage render(Picture p, const QSize &size, const std::function<void(QPainter &)> &setup)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter painter(&img);
    setup(painter);
    paint(p, painter, QRectF(0, 0, 576, 66));
    return img;
}

} // namespace

class TestArtworkPixmaps : public QObject {
    Q_OBJECT

private slots:
    void naturalSizes();
    void naturalPixmapIsCachedPerRatio();
    void naturalSizeTicksAreCrispSinglePixels();
    void highDensityPixmapMatchesPositions();
    void ticksKeepTheirWeightAtEveryRatio_data();
    void ticksKeepTheirWeightAtEveryRatio();
    void paintStaysInsideTarget();
    void paintFollowsPainterTransform();
    void paintUnderRotation();
    void unusableArguments();
};

void TestArtworkPixmaps::naturalSizes()
{
    QCOMPARE(naturalTwips(Picture::InchScale), QSizeF(8610, 1051));
    QCOMPARE(naturalTwips(Picture::MetricScale), QSizeF(8640, 994));
    QCOMPARE(naturalTwips(Picture::VerticalScale), QSizeF(984, 8323));
    QCOMPARE(naturalTwips(Picture::RulerStrip), QSizeF(8640, 953));
    QCOMPARE(naturalTwips(Picture::SteelRule), QSizeF(29959, 36047)); // height read as unsigned
    QCOMPARE(naturalPixelSize(Picture::InchScale, 15, 15), QSize(574, 70));
    QCOMPARE(naturalPixelSize(Picture::VerticalScale, 15, 15), QSize(66, 555));
    // 120 dpi: 8610 / 12 = 717.5 goes to the even 718. 15 across, 20 down: 994 / 20 = 49.7.
    QCOMPARE(naturalPixelSize(Picture::InchScale, 12, 12), QSize(718, 88));
    QCOMPARE(naturalPixelSize(Picture::MetricScale, 15, 20), QSize(576, 50));
}

void TestArtworkPixmaps::naturalPixmapIsCachedPerRatio()
{
    const QPixmap a = naturalPixmap(Picture::InchScale, 15, 15, 1.0);
    QCOMPARE(a.size(), QSize(574, 70));
    QCOMPARE(naturalPixmap(Picture::InchScale, 15, 15, 1.0).cacheKey(), a.cacheKey());

    const QPixmap hi = naturalPixmap(Picture::InchScale, 15, 15, 2.0);
    QVERIFY(hi.cacheKey() != a.cacheKey());
    QCOMPARE(hi.size(), QSize(1148, 140));
    QCOMPARE(hi.deviceIndependentSize(), QSizeF(574, 70));
    QCOMPARE(naturalPixmap(Picture::InchScale, 15, 15, 2.0).cacheKey(), hi.cacheKey());
    QCOMPARE(naturalPixmap(Picture::InchScale, 15, 15, 1.25).size(), QSize(718, 88)); // 717.5, 87.5 to even

    // Other pictures and other factors are separate entries.
    QVERIFY(naturalPixmap(Picture::MetricScale, 15, 15, 1.0).cacheKey() != a.cacheKey());
    QVERIFY(naturalPixmap(Picture::InchScale, 12, 12, 1.0).cacheKey() != a.cacheKey());
    const QPixmap strip = stretchedPixmap(Picture::RulerStrip, QSize(480, 56), 1.0);
    QCOMPARE(strip.size(), QSize(480, 56));
    QCOMPARE(stretchedPixmap(Picture::RulerStrip, QSize(480, 56), 1.0).cacheKey(), strip.cacheKey());
}

void TestArtworkPixmaps::naturalSizeTicksAreCrispSinglePixels()
{
    const QImage img = naturalPixmap(Picture::InchScale, 15, 15, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    // Row 20 (about y 530 units) crosses the 13 major and 12 half ticks.
    const auto runs = blackRuns(img, 20);
    QCOMPARE(runs.size(), 25);
    for (const auto &run : runs) {
        QCOMPARE(run.second, 1);
        QCOMPARE(img.pixel(run.first - 1, 20), Body);
        if (run.first + 1 < img.width())
            QCOMPARE(img.pixel(run.first + 1, 20), Body);
    }
    // Major tick n at 37.3 + 1259.7 n units, 0.5669 twips each.
    for (int n = 0; n <= 12; ++n) {
        const double px = (37.3 + 1259.7 * n) * 1440 / 2540 / 15;
        QVERIFY2(std::abs(runs[2 * n].first + 0.5 - px) <= 1, qPrintable(QString::number(n)));
    }
    // The body, the band and the undrawn top strip.
    QCOMPARE(img.pixel(305, 10), Body);
    QCOMPARE(img.pixel(305, 60), Band);
    QCOMPARE(qAlpha(img.pixel(300, 0)), 0);
}

void TestArtworkPixmaps::highDensityPixmapMatchesPositions()
{
    const QImage img
        = naturalPixmap(Picture::MetricScale, 15, 15, 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(img.size(), QSize(1152, 132));
    // 6.3 units at 600 per inch is 1 pixel at 96 dpi, 2 device pixels here.
    const int y = int(40 * 1440.0 / 600 / 15 * 2); // y 40 units: the short ticks' span
    const auto runs = blackRuns(img, y);
    QCOMPARE(runs.size(), 151);
    for (int k = 0; k <= 150; k += 10) {
        const double centre = runs[k].first + runs[k].second / 2.0;
        const double want = (144.0 + 22.184 * k) * 1440 / 600 / 15 * 2;
        QVERIFY2(std::abs(centre - want) <= 1.5,
                 qPrintable(QStringLiteral("%1: %2 vs %3").arg(k).arg(centre).arg(want)));
        QCOMPARE(runs[k].second, 2);
    }
}

void TestArtworkPixmaps::ticksKeepTheirWeightAtEveryRatio_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("width");
    QTest::newRow("1x") << qreal(1.0) << 1;
    QTest::newRow("1.5x") << qreal(1.5) << 2;
    QTest::newRow("2x") << qreal(2.0) << 2;
    QTest::newRow("3x") << qreal(3.0) << 3;
}

// A hairline tick is one logical pixel at any ratio, in whole device pixels with no
// blurred edge: pure black between pure body colour.
void TestArtworkPixmaps::ticksKeepTheirWeightAtEveryRatio()
{
    QFETCH(qreal, ratio);
    QFETCH(int, width);
    const QImage img
        = naturalPixmap(Picture::InchScale, 15, 15, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
    const int y = int(20 * ratio); // the major and half ticks
    const auto runs = blackRuns(img, y);
    QCOMPARE(runs.size(), 25);
    for (const auto &run : runs) {
        QCOMPARE(run.second, width);
        QCOMPARE(img.pixel(run.first - 1, y), Body);
        if (run.first + run.second < img.width())
            QCOMPARE(img.pixel(run.first + run.second, y), Body);
    }
}

void TestArtworkPixmaps::paintStaysInsideTarget()
{
    QImage img(700, 200, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const QRect target(50, 60, 574, 70);
    {
        QPainter p(&img);
        paint(Picture::InchScale, p, target);
    }
    int outside = 0, inside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const bool drawn = qAlpha(img.pixel(x, y)) != 0;
            (target.contains(x, y) ? inside : outside) += drawn ? 1 : 0;
        }
    QCOMPARE(outside, 0);
    QVERIFY(inside > 0.9 * target.width() * target.height());
}

void TestArtworkPixmaps::paintFollowsPainterTransform()
{
    // A translated, scaled painter gives the same pixels as the plain target.
    const QImage viaTransform = render(Picture::MetricScale, QSize(1200, 200), [](QPainter &p) {
        p.translate(30, 20);
        p.scale(2, 2);
        p.setClipRect(QRectF(0, 0, 576, 66));
    });
    QImage direct(1200, 200, QImage::Format_ARGB32);
    direct.fill(Qt::transparent);
    {
        QPainter p(&direct);
        paint(Picture::MetricScale, p, QRectF(30, 20, 1152, 132));
    }
    QCOMPARE(viaTransform.copy(30, 20, 1152, 132), direct.copy(30, 20, 1152, 132));
}

void TestArtworkPixmaps::paintUnderRotation()
{
    // Turned a quarter clockwise, the inch scale stands upright: band on the
    // left, ticks hanging from the right edge.
    QImage img(70, 574, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.translate(70, 0);
        p.rotate(90);
        paint(Picture::InchScale, p, QRectF(0, 0, 574, 70));
    }
    const QRgb band = img.pixel(10, 300);
    QVERIFY2(std::abs(qRed(band) - qRed(Band)) < 8 && std::abs(qGreen(band) - qGreen(Band)) < 8, "band");
    // Down the column through the major and half ticks: 25 darker marks.
    int marks = 0;
    bool inMark = false;
    for (int y = 0; y < img.height(); ++y) {
        const bool dark = qGray(img.pixel(55, y)) < 150;
        marks += dark && !inMark ? 1 : 0;
        inMark = dark;
    }
    QCOMPARE(marks, 25);
}

void TestArtworkPixmaps::unusableArguments()
{
    QVERIFY(naturalPixmap(Picture::InchScale, 0, 15, 1).isNull());
    QVERIFY(naturalPixmap(Picture::InchScale, 15, -1, 1).isNull());
    QVERIFY(naturalPixmap(Picture::InchScale, 15, 15, 0).isNull());
    QVERIFY(stretchedPixmap(Picture::RulerStrip, QSize(0, 56), 1).isNull());
    QCOMPARE(naturalPixelSize(Picture::InchScale, 0, 0), QSize());
    // An empty target draws nothing and does not fail.
    QImage img(10, 10, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paint(Picture::InchScale, p, QRectF(5, 5, 0, 0));
    paintSteelRuleSlice(p, QRectF(), 15, 15);
    p.end();
    QCOMPARE(img.pixel(5, 5), qRgba(0, 0, 0, 0));
}

QTEST_MAIN(TestArtworkPixmaps)
#include "test_artwork_pixmaps.moc"

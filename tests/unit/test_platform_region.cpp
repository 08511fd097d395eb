// SPDX-License-Identifier: MIT
// The angle ruler's outline: its points in pixels and the region they make.
#include "platform/forms/region.h"

#include <QtTest>

using namespace zentyr;

class RegionTest : public QObject {
    Q_OBJECT
    const UnitPolygon triangle{{0, 430}, {0, 430}, {440, 0}, {440, 430}, {0, 430}};

private slots:
    void corners_data()
    {
        QTest::addColumn<float>("scaleX");
        QTest::addColumn<float>("scaleY");
        QTest::addColumn<int>("offsetX");
        QTest::addColumn<int>("offsetY");
        QTest::addColumn<double>("tpp");
        QTest::addColumn<QPolygon>("want");
        QTest::newRow("15 twips per pixel")
            << 1.0f << 1.0f << 0 << 0 << 15.0 << QPolygon({{0, 430}, {0, 430}, {440, 0}, {440, 430}, {0, 430}});
        // 430 x 15 / 12 = 537.5 goes to the even 538.
        QTest::newRow("12 twips per pixel")
            << 1.0f << 1.0f << 0 << 0 << 12.0 << QPolygon({{0, 538}, {0, 538}, {550, 0}, {550, 538}, {0, 538}});
        QTest::newRow("scaled and offset")
            << 2.0f << 1.0f << 10 << 0 << 15.0 << QPolygon({{10, 430}, {10, 430}, {890, 0}, {890, 430}, {10, 430}});
        QTest::newRow("negative offset") << 1.0f << 1.0f << -5 << -7 << 15.0
                                         << QPolygon({{-5, 423}, {-5, 423}, {435, -7}, {435, 423}, {-5, 423}});
    }

    void corners()
    {
        QFETCH(float, scaleX);
        QFETCH(float, scaleY);
        QFETCH(int, offsetX);
        QFETCH(int, offsetY);
        QFETCH(double, tpp);
        QFETCH(QPolygon, want);
        QCOMPARE(regionPoints(triangle, scaleX, scaleY, short(offsetX), short(offsetY), tpp, tpp), want);
    }

    void regionIsTheTriangle()
    {
        const QRegion r(regionPoints(triangle, 1, 1, 0, 0, 15, 15), Qt::OddEvenFill);
        QVERIFY(r.contains(QPoint(439, 429)));
        QVERIFY(r.contains(QPoint(300, 200)));
        QVERIFY(!r.contains(QPoint(100, 100)));
        QVERIFY(!r.contains(QPoint(445, 200)));
        QVERIFY(!r.contains(QPoint(200, 435)));
        // Roughly half the bounding square.
        int inside = 0;
        for (int y = 0; y < 430; y += 5)
            for (int x = 0; x < 440; x += 5)
                inside += r.contains(QPoint(x, y));
        QVERIFY(qAbs(inside - 88 * 86 / 2) < 150);
    }
};

QTEST_GUILESS_MAIN(RegionTest)
#include "test_platform_region.moc"

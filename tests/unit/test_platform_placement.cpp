// SPDX-License-Identifier: MIT
// Placement arithmetic: rounding, the rulers' load placement, centring and the border resize.
#include "platform/forms/placement.h"
#include "platform/forms/twips.h"

#include <QtTest>

using namespace zentyr;

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    void roundingHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("pixels");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-3.5") << -3.5 << -4;
        QTest::newRow("766.67") << 766.67 << 767;
        QTest::newRow("not a number") << qQNaN() << 0;
        QTest::newRow("too large") << 1e12 << std::numeric_limits<int>::max();
        QTest::newRow("too small") << -1e12 << std::numeric_limits<int>::min();
    }
    void roundingHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(int, pixels);
        QCOMPARE(roundHalfEven(value), pixels);
    }

    // Outer rectangles in pixels at a screen's twips per pixel, counted from the primary's top left.
    void loadPlacement_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<double>("twipsPerPixel");
        QTest::addColumn<QRect>("pixels");
        // The fixed divisor 12 keeps a window in place at 12 twips per pixel...
        QTest::newRow("12 twips per pixel") << QRect(300, 452, 1000, 96) << 12.0 << QRect(300, 452, 1000, 96);
        // ...and sends it to 1.25 times its distance at 15.
        QTest::newRow("15 twips per pixel") << QRect(240, 362, 800, 77) << 15.0 << QRect(300, 452, 1000, 96);
        // 5430 / 12 = 452.5 and 5442 / 12 = 453.5 go to the even neighbour.
        QTest::newRow("halves") << QRect(1, 905, 3, 907) << 6.0 << QRect(0, 452, 2, 454);
        QTest::newRow("above and left of the screen") << QRect(-5, -3, 20, 20) << 6.0 << QRect(-2, -2, 10, 10);
    }
    void loadPlacement()
    {
        QFETCH(QRect, outer);
        QFETCH(double, twipsPerPixel);
        QFETCH(QRect, pixels);
        // The same place on a primary screen that stands elsewhere on the desktop.
        for (const QPoint primary : {QPoint(), QPoint(1920, 0), QPoint(-1280, -200)})
            QCOMPARE(loadPlacementPixels(outer.translated(primary), primary, twipsPerPixel, twipsPerPixel),
                     pixels.translated(primary));
    }

    // A 12000 x 1095 twips window (800 x 73 pixels) centred on a screen.
    void centredOnAScreen_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("topLeft");
        // 5452.5 twips is 363.5 pixels: to the even 364.
        QTest::newRow("one monitor") << QRect(0, 0, 1280, 800) << QPoint(240, 364);
        QTest::newRow("primary right of another") << QRect(1920, 0, 1280, 800) << QPoint(2160, 364);
        QTest::newRow("the larger monitor") << QRect(0, 0, 1920, 1080) << QPoint(560, 504);
        QTest::newRow("above and left of the primary") << QRect(-1280, -200, 1280, 800) << QPoint(-1040, 164);
        QTest::newRow("shorter than the window") << QRect(0, 0, 1280, 60) << QPoint(240, -6);
    }
    void centredOnAScreen()
    {
        QFETCH(QRect, screen);
        QFETCH(QPoint, topLeft);
        QCOMPARE(centredPixels(screen, QSize(800, 73)), topLeft);
    }

    // A 200 x 50 window dragged by its edges, never below 10 x 10.
    void resizedGeometry_data()
    {
        QTest::addColumn<int>("edges");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("result");
        QTest::newRow("right wider") << int(Qt::RightEdge) << QPoint(30, 7) << QRect(100, 100, 230, 50);
        QTest::newRow("left narrower") << int(Qt::LeftEdge) << QPoint(30, 0) << QRect(130, 100, 170, 50);
        QTest::newRow("left past the minimum") << int(Qt::LeftEdge) << QPoint(195, 0) << QRect(290, 100, 10, 50);
        QTest::newRow("right past the left edge") << int(Qt::RightEdge) << QPoint(-500, 0) << QRect(100, 100, 10, 50);
        QTest::newRow("top taller") << int(Qt::TopEdge) << QPoint(0, -20) << QRect(100, 80, 200, 70);
        QTest::newRow("top past the minimum") << int(Qt::TopEdge) << QPoint(0, 100) << QRect(100, 140, 200, 10);
        QTest::newRow("bottom ignores x") << int(Qt::BottomEdge) << QPoint(40, 20) << QRect(100, 100, 200, 70);
        QTest::newRow("top left corner") << int(Qt::TopEdge | Qt::LeftEdge) << QPoint(-10, -5)
                                         << QRect(90, 95, 210, 55);
        QTest::newRow("bottom right corner")
            << int(Qt::BottomEdge | Qt::RightEdge) << QPoint(5, 5) << QRect(100, 100, 205, 55);
        QTest::newRow("no edge") << 0 << QPoint(50, 50) << QRect(100, 100, 200, 50);
    }
    void resizedGeometry()
    {
        QFETCH(int, edges);
        QFETCH(QPoint, delta);
        QFETCH(QRect, result);
        QCOMPARE(zentyr::resizedGeometry(QRect(100, 100, 200, 50), Qt::Edges::fromInt(edges), delta, QSize(10, 10)),
                 result);
    }

    // A 200 x 50 window with a 4-pixel border.
    void edgesAt_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("edges");
        QTest::newRow("client area") << QPoint(100, 25) << 0;
        QTest::newRow("just inside the border") << QPoint(4, 4) << 0;
        QTest::newRow("left") << QPoint(0, 25) << int(Qt::LeftEdge);
        QTest::newRow("right, first border pixel") << QPoint(196, 25) << int(Qt::RightEdge);
        QTest::newRow("right, last client pixel") << QPoint(195, 25) << 0;
        QTest::newRow("top") << QPoint(100, 0) << int(Qt::TopEdge);
        QTest::newRow("bottom") << QPoint(100, 49) << int(Qt::BottomEdge);
        QTest::newRow("top left") << QPoint(0, 0) << int(Qt::LeftEdge | Qt::TopEdge);
        QTest::newRow("top, near the left corner") << QPoint(10, 0) << int(Qt::LeftEdge | Qt::TopEdge);
        QTest::newRow("top, past the corner") << QPoint(16, 0) << int(Qt::TopEdge);
        QTest::newRow("left, near the top corner") << QPoint(0, 10) << int(Qt::LeftEdge | Qt::TopEdge);
        QTest::newRow("bottom, near the right corner") << QPoint(190, 49) << int(Qt::RightEdge | Qt::BottomEdge);
        QTest::newRow("right, near the bottom corner") << QPoint(199, 40) << int(Qt::RightEdge | Qt::BottomEdge);
    }
    void edgesAt()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, edges);
        QCOMPARE(resizeEdgesAt(QSize(200, 50), 4, pos), Qt::Edges::fromInt(edges));
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "test_platform_placement.moc"

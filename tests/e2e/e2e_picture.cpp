// SPDX-License-Identifier: MIT
// "Display Picture" through the real Open dialog, and the rulers opened from the menus.
#include "desktop.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace e2e;

class PictureE2E : public QObject {
    Q_OBJECT

private slots:
    void chooseAPictureThenATextFile()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        // A picture in two halves, so stretching shows: blue left, yellow right.
        const QString picture = QDir(d.homeDir()).filePath("halves.png");
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(Qt::blue);
        for (int y = 0; y < 20; ++y)
            for (int x = 20; x < 40; ++x)
                img.setPixelColor(x, y, Qt::yellow);
        QVERIFY(img.save(picture));
        const QString text = QDir(d.homeDir()).filePath("notes");
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("just words\n");
        f.close();

        d.startProgram();
        const WindowId ruler = d.waitForWindow("frmRuler", 10000);
        QVERIFY(ruler);
        QRect g;
        waitUntil(
            [&] {
                g = d.waitForStableGeometry(ruler, 300, 3000);
                return g.topLeft() != QPoint(0, 0);
            },
            5000);

        d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(200, 20), Menu::StandardRuler, "Display Picture");
        const WindowId dialog = d.waitForTitled("Open", 5000);
        QVERIFY2(dialog, qPrintable(d.describeWindows()));
        d.saveArtifact(d.screenshot(), "open-dialog");
        QTest::qWait(300);
        d.type(picture);
        d.key("Return");
        QVERIFY(waitUntil([&] { return d.waitForTitled("Open", 0) == 0; }, 5000));

        // Stretched over the whole ruler in both directions.
        QImage shot;
        QVERIFY(waitUntil(
            [&] {
                shot = d.grabWindow(ruler);
                return colorsClose(colorAt(shot, 10, 30), QColor(Qt::blue), 10);
            },
            5000));
        d.saveArtifact(shot, "ruler-with-picture");
        const int w = shot.width();
        QVERIFY(colorsClose(colorAt(shot, 6, 6), QColor(Qt::blue), 10));
        QVERIFY(colorsClose(colorAt(shot, w / 2 - 10, shot.height() - 6), QColor(Qt::blue), 10));
        QVERIFY(colorsClose(colorAt(shot, w / 2 + 10, 6), QColor(Qt::yellow), 10));
        QVERIFY(colorsClose(colorAt(shot, w - 6, shot.height() - 6), QColor(Qt::yellow), 10));

        // A text file through "All Files" gives the error box, and the picture stays.
        d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(200, 20), Menu::StandardRuler, "Display Picture");
        const WindowId dialog2 = d.waitForTitled("Open", 5000);
        QVERIFY(dialog2);
        QTest::qWait(300);
        d.key("ctrl+a");
        d.type(text);
        d.key("Return");
        const WindowId box = d.waitForTitled("Zentyr", 5000);
        QVERIFY2(box, qPrintable(d.describeWindows()));
        d.saveArtifact(d.grabWindow(box), "picture-error");
        d.key("Return");
        QVERIFY(waitUntil([&] { return d.waitForTitled("Zentyr", 0) == 0; }, 3000));
        shot = d.grabWindow(ruler);
        QVERIFY(colorsClose(colorAt(shot, 10, 30), QColor(Qt::blue), 10));
    }

    void otherRulers()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        d.startProgram();
        const WindowId ruler = d.waitForWindow("frmRuler", 10000);
        QVERIFY(ruler);
        QRect g;
        waitUntil(
            [&] {
                g = d.waitForStableGeometry(ruler, 300, 3000);
                return g.topLeft() != QPoint(0, 0);
            },
            5000);

        // The metric ruler opens over most of the standard one: its left end stays free.
        d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(20, 20), Menu::StandardRuler, "Metric Ruler");
        const WindowId metric = d.waitForWindow("frmRulerMetric", 3000);
        QVERIFY(metric);
        d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(20, 20), Menu::StandardRuler, "Vertical Ruler");
        const WindowId vertical = d.waitForWindow("frmVRuler", 3000);
        QVERIFY(vertical);
        d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(20, 20), Menu::StandardRuler, "45-Angle");
        const WindowId angle = d.waitForWindow("frm45Angle", 3000);
        QVERIFY(angle);
        QTest::qWait(500);
        d.saveArtifact(d.screenshot(), "all-rulers");

        QVERIFY(d.netWmState(metric).contains("_NET_WM_STATE_ABOVE"));
        QVERIFY(d.netWmState(vertical).contains("_NET_WM_STATE_ABOVE"));
        QVERIFY(!d.netWmState(angle).contains("_NET_WM_STATE_ABOVE"));
        QVERIFY(!d.netWmState(angle).contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(d.netWmState(metric).contains("_NET_WM_STATE_SKIP_TASKBAR"));

        // The angle ruler is a triangle: a click outside it reaches what lies below.
        const QRect a = d.waitForStableGeometry(angle);
        const QImage screen = d.screenshot();
        QVERIFY(colorsClose(colorAt(screen, a.topLeft() + QPoint(430, 300)), QColor(0xFF, 0x80, 0x00), 2));
        const QColor outside = colorAt(screen, a.topLeft() + QPoint(30, 30));
        QVERIFY2(!colorsClose(outside, QColor(0xFF, 0x80, 0x00), 30), qPrintable(outside.name()));
        // The window system's own answer to "which window is under this point".
        auto windowUnder = [&](QPoint p) {
            d.mouseMove(p);
            const RunResult r = d.run("/usr/bin/xdotool", {"getmouselocation", "--shell"});
            for (const QByteArray &line : r.out.split('\n'))
                if (line.startsWith("WINDOW="))
                    return line.mid(7).toULongLong();
            return 0ull;
        };
        const auto inside = windowUnder(a.topLeft() + QPoint(430, 300));
        const auto hole = windowUnder(a.topLeft() + QPoint(60, 60));
        QVERIFY(inside != 0);
        QVERIFY2(hole != inside, "the cut-away part still takes the mouse");
        d.click(3);
        QTest::qWait(500);
        QVERIFY(d.popupMenus().isEmpty()); // the desktop below has no menu, and the angle ruler did not answer
        const QRect ag = d.geometry(angle);
        QCOMPARE(ag.topLeft(), a.topLeft());

        // Presses on the labels neither drag nor open a menu. A plain click on the metric
        // ruler's free end first brings it above the standard ruler.
        const QRect m = d.waitForStableGeometry(metric);
        d.clickAt(QPoint(m.right() - 20, m.top() + 20));
        QVERIFY(waitUntil([&] { return d.isAbove(metric, ruler); }, 2000));
        const QPoint label = m.topLeft() + QPoint(4 + 36, 4 + 56);
        d.mouseMove(label);
        d.click(3);
        QTest::qWait(700);
        QVERIFY(d.popupMenus().isEmpty());
        d.drag(label, label + QPoint(60, 60), 1, 10, 40);
        QTest::qWait(300);
        QCOMPARE(d.geometry(metric).topLeft(), m.topLeft());

        // Dragging the angle ruler by its orange area moves it.
        d.drag(a.topLeft() + QPoint(400, 300), a.topLeft() + QPoint(350, 250), 1, 12, 40);
        QVERIFY(waitUntil([&] { return d.geometry(angle).topLeft() != a.topLeft(); }, 3000));
    }
    void everyRulerDragsWithoutWindowManager()
    {
        DesktopOptions o;
        o.windowManager = false;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        d.startProgram();
        const WindowId ruler = d.waitForWindow("frmRuler", 10000);
        QVERIFY(ruler);
        // Without a window manager nothing restacks on a click: open the rulers in an order
        // that leaves the standard ruler's left end free, then drag each by a free spot.
        struct Case {
            const char *role;
            const char *caption;
            QPoint grab; // from the window's top-left
        };
        const Case cases[] = {{"frm45Angle", "45-Angle", QPoint(400, 200)},
                              {"frmVRuler", "Vertical Ruler", QPoint(40, 200)},
                              {"frmRulerMetric", "Metric Ruler", QPoint(700, 20)}};
        for (const Case &c : cases) {
            d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(20, 20), Menu::StandardRuler, c.caption);
            const WindowId w = d.waitForWindow(c.role, 3000);
            QVERIFY2(w, c.role);
            const QRect before = d.waitForStableGeometry(w);
            const QPoint from = before.topLeft() + c.grab;
            QVERIFY(d.drag(from, from + QPoint(-60, -40), 1, 12, 40));
            QRect after;
            QVERIFY2(waitUntil(
                         [&] {
                             after = d.geometry(w);
                             return qAbs(after.left() - (before.left() - 60)) <= 3
                                 && qAbs(after.top() - (before.top() - 40)) <= 3;
                         },
                         3000),
                     c.role);
            QCOMPARE(after.size(), before.size());
        }
        d.saveArtifact(d.screenshot(), "dragged-without-window-manager");
    }
};

QTEST_MAIN(PictureE2E)
#include "e2e_picture.moc"

// SPDX-License-Identifier: MIT
// The standard ruler on a real desktop: placement, dragging, border resizing, its menu.
#include "desktop.h"

#include <QtTest>

using namespace e2e;

class RulerE2E : public QObject {
    Q_OBJECT

    static void dragAndResize(Desktop &d, WindowId ruler, QRect g)
    {
        // A left drag on the ruler moves it by the mouse's way (a window manager starts
        // its move where it notices the first movement: up to one step later).
        QVERIFY(d.drag(g.topLeft() + QPoint(400, 20), g.topLeft() + QPoint(300, 120), 1, 20, 40));
        QRect moved;
        QVERIFY(waitUntil(
            [&] {
                moved = d.geometry(ruler);
                const QPoint by = moved.topLeft() - g.topLeft();
                return by.x() <= -94 && by.x() >= -100 && by.y() >= 94 && by.y() <= 100;
            },
            3000));
        QCOMPARE(moved.size(), g.size());
        // The pointer off the ruler, so that its readout (label on #FFFFE1) is not in the compared scale.
        d.mouseMove(moved.topLeft() + QPoint(400, -60));
        QImage before;
        QVERIFY(waitUntil(
            [&] {
                return countColor(before = d.grabWindow(ruler), QRect(QPoint(), moved.size()), QColor(0xFF, 0xFF, 0xE1))
                    == 0;
            },
            3000));

        // The right border widens it; the scale keeps its size and place.
        const QPoint edge = moved.topLeft() + QPoint(moved.width() - 2, moved.height() / 2);
        QVERIFY(d.drag(edge, edge + QPoint(150, 0), 1, 10, 40));
        QRect wider;
        QVERIFY(waitUntil(
            [&] {
                wider = d.geometry(ruler);
                return qAbs(wider.width() - (moved.width() + 150)) <= 2;
            },
            3000));
        QCOMPARE(wider.topLeft(), moved.topLeft());
        // The same pixels, whatever the moves: compare on the client's top-left.
        QCOMPARE(wider.height(), moved.height());
        const QImage after = d.grabWindow(ruler);
        const QRect scale(4, 4, 574, 60);
        QCOMPARE(after.copy(scale), before.copy(scale));

        // The bottom-left corner resizes in both directions, keeping the top-right corner.
        const QPoint corner = wider.topLeft() + QPoint(1, wider.height() - 2);
        QVERIFY(d.drag(corner, corner + QPoint(-40, 30), 1, 10, 40));
        QRect cornered;
        QVERIFY(waitUntil(
            [&] {
                cornered = d.geometry(ruler);
                return qAbs(cornered.width() - (wider.width() + 40)) <= 2
                    && qAbs(cornered.height() - (wider.height() + 30)) <= 2;
            },
            3000));
        QCOMPARE(cornered.right(), wider.right());
        QCOMPARE(cornered.top(), wider.top());
    }

private slots:
    void placementDragResizeAndMenu()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        // The design centred 800 x 77 pixels; the placement took that 1.25 times out; then 11500 x 1100 twips.
        QCOMPARE(g, QRect(300, 452, 767, 73));
        QVERIFY(d.netWmState(ruler).contains("_NET_WM_STATE_ABOVE"));
        QVERIFY(d.netWmState(ruler).contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(d.focusedWindow() != ruler);
        const QImage shot = d.grabWindow(ruler);
        d.saveArtifact(shot, "ruler");
        // The tip shows until the mouse moves over the ruler.
        QVERIFY(countColor(shot, shot.rect(), QColor(0xFF, 0xC0, 0x80)) > 1000);
        d.mouseMove(g.topLeft() + QPoint(300, 20));
        d.mouseMove(g.topLeft() + QPoint(310, 22));
        QVERIFY(waitUntil(
            [&] {
                const QImage s = d.grabWindow(ruler);
                return countColor(s, s.rect(), QColor(0xFF, 0xC0, 0x80)) == 0;
            },
            3000));

        dragAndResize(d, ruler, g);
        if (QTest::currentTestFailed())
            return;

        // A right click opens the menu; "Hide Ruler" destroys the ruler.
        const QRect now = d.geometry(ruler);
        d.mouseMove(now.topLeft() + QPoint(200, 20));
        QVERIFY(d.click(3));
        const WindowId menu = d.waitForPopupMenu(3000);
        QVERIFY(menu);
        d.saveArtifact(d.screenshot(), "menu");
        QVERIFY(d.geometry(menu).contains(now.topLeft() + QPoint(201, 21))
                || d.geometry(menu).topLeft() == now.topLeft() + QPoint(200, 20)
                || qAbs(d.geometry(menu).left() - (now.left() + 200)) <= 2);
        d.mouseMove(now.topLeft() + QPoint(100, -50)); // off the menu, so the keys decide
        QVERIFY(d.chooseMenuItem(Menu::StandardRuler, "Hide Ruler"));
        QVERIFY(d.waitForNoWindow("frmRuler", 3000));
    }

    void withoutWindowManager()
    {
        DesktopOptions o;
        o.windowManager = false;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        QCOMPARE(g, QRect(300, 452, 767, 73));
        dragAndResize(d, ruler, g);
    }
};

QTEST_MAIN(RulerE2E)
#include "e2e_ruler.moc"

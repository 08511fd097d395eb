// SPDX-License-Identifier: MIT
// The program's windows and the window manager: closing through it, the smallest ruler, its drag,
// and stacking where there is no window manager.
#include "desktop.h"

#include <QtTest>

using namespace e2e;

class WindowsE2E : public QObject {
    Q_OBJECT

    // Chooses the index-th item of the standard ruler's menu (the separator does not count).
    static bool chooseFromRulerMenu(Desktop &d, WindowId ruler, const QString &caption)
    {
        return d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(200, 20), Menu::StandardRuler, caption);
    }

    static QString hex(WindowId w) { return QStringLiteral("0x%1").arg(w, 0, 16); }

    // Moves a window away, closes it through the window manager, reopens it from the ruler's menu:
    // it is back where it first opened, still out of the taskbar.
    static void closeAndReopen(Desktop &d, WindowId ruler, const QString &role, const QString &caption)
    {
        QVERIFY(chooseFromRulerMenu(d, ruler, caption));
        const WindowId w = d.waitForWindow(role, 5000);
        QVERIFY2(w, qPrintable(d.describeWindows()));
        const QRect first = d.waitForStableGeometry(w);
        QVERIFY(d.run("xdotool", {"windowmove", hex(w), "40", "30"}).ok());
        QVERIFY(waitUntil([&] { return d.geometry(w).topLeft() == QPoint(40, 30); }, 3000));
        QVERIFY(d.run("wmctrl", {"-i", "-c", hex(w)}).ok());
        QVERIFY(d.waitForNoWindow(role, 3000));

        QVERIFY(chooseFromRulerMenu(d, ruler, caption));
        const WindowId again = d.waitForWindow(role, 5000);
        QVERIFY(again);
        QCOMPARE(d.waitForStableGeometry(again), first);
        QVERIFY(waitUntil([&] { return d.netWmState(again).contains("_NET_WM_STATE_SKIP_TASKBAR"); }, 2000));
        QVERIFY(d.netWmState(again).contains("_NET_WM_STATE_SKIP_PAGER"));
    }

private slots:
    void rulerClosedByTheWindowManager()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY(ruler);
        closeAndReopen(d, ruler, "frmVRuler", "Vertical Ruler");
        if (QTest::currentTestFailed())
            return;
        QVERIFY(d.netWmState(d.findWindows("frmVRuler").value(0)).contains("_NET_WM_STATE_ABOVE"));
    }

    void informationWindowClosedByTheWindowManager()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY(ruler);
        closeAndReopen(d, ruler, "frmSplash", "Help");
    }

    // The bottom border dragged above the top leaves the frame, which can be enlarged again.
    void smallestRulerIsItsFrame()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY(ruler);
        const QPoint bottom(g.center().x(), g.bottom() - 1);
        QVERIFY(d.drag(bottom, QPoint(bottom.x(), g.top() - 60), 1, 10, 40));
        QRect small;
        QVERIFY(waitUntil(
            [&] {
                small = d.geometry(ruler);
                return small.height() == 8;
            },
            3000));
        QCOMPARE(small.width(), g.width());
        d.saveArtifact(d.grabWindow(ruler), "smallest");
        const QPoint edge(small.center().x(), small.top() + 6);
        QVERIFY(d.drag(edge, edge + QPoint(0, 50), 1, 10, 40));
        QVERIFY(waitUntil([&] { return qAbs(d.geometry(ruler).height() - 58) <= 3; }, 3000));
    }

    // The window manager's move keeps the grab point under the pointer after a 20 px first step.
    void dragKeepsTheGrabPoint()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY(ruler);
        const QPoint grab = g.topLeft() + QPoint(400, 20);
        QVERIFY(d.mouseMove(grab));
        QVERIFY(d.mouseDown(1));
        QVERIFY(d.mouseMove(grab + QPoint(20, 0)));
        QTest::qWait(200);
        for (int i = 1; i <= 10; ++i) {
            d.mouseMove(grab + QPoint(20 + 10 * i, 8 * i));
            QTest::qWait(40);
        }
        QVERIFY(d.mouseUp(1));
        QPoint by;
        QVERIFY2(waitUntil(
                     [&] {
                         by = d.geometry(ruler).topLeft() - g.topLeft();
                         return by == QPoint(120, 80);
                     },
                     3000),
                 qPrintable(QStringLiteral("moved by %1,%2").arg(by.x()).arg(by.y())));
    }

    // Without a window manager the stay-on-top rulers are raised over windows shown later.
    void topmostRulersStayAboveWithoutWindowManager()
    {
        DesktopOptions o;
        o.windowManager = false;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY(ruler);
        QVERIFY(chooseFromRulerMenu(d, ruler, "45-Angle"));
        const WindowId angle = d.waitForWindow("frm45Angle", 5000);
        QVERIFY(angle);
        QVERIFY2(waitUntil([&] { return d.isAbove(ruler, angle); }, 2000), qPrintable(d.describeWindows()));
        QVERIFY(chooseFromRulerMenu(d, ruler, "Help"));
        const WindowId info = d.waitForWindow("frmSplash", 5000);
        QVERIFY(info);
        QVERIFY2(waitUntil([&] { return d.isAbove(ruler, info); }, 2000), qPrintable(d.describeWindows()));
        d.saveArtifact(d.screenshot(), "stacking");
    }
};

QTEST_MAIN(WindowsE2E)
#include "e2e_windows.moc"

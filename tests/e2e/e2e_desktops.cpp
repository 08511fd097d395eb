// SPDX-License-Identifier: MIT
// What the window managers people run need: a tiling manager floats every window of ours, the
// angle ruler takes the focus, and the Open dialog blocks only the standard ruler.
#include "desktop.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace e2e;

class DesktopsE2E : public QObject {
    Q_OBJECT

    static bool chooseFromRulerMenu(Desktop &d, WindowId ruler, const QString &caption)
    {
        return d.chooseFromMenuAt(d.geometry(ruler).topLeft() + QPoint(600, 20), Menu::StandardRuler, caption);
    }

    // Whether i3's tree holds the window among the floating ones.
    static bool floatsOnI3(Desktop &d, WindowId w)
    {
        const RunResult r = d.run("i3-msg", {"-t", "get_tree"});
        std::function<bool(const QJsonObject &, bool)> find = [&](const QJsonObject &node, bool floating) {
            if (quint32(node.value("window").toDouble()) == w)
                return floating;
            for (const auto &child : node.value("nodes").toArray())
                if (find(child.toObject(), floating))
                    return true;
            for (const auto &child : node.value("floating_nodes").toArray())
                if (find(child.toObject(), true))
                    return true;
            return false;
        };
        return r.ok() && find(QJsonDocument::fromJson(r.out).object(), false);
    }

    static WindowId activeWindow(Desktop &d)
    {
        const RunResult r = d.run("xprop", {"-root", "_NET_ACTIVE_WINDOW"});
        return WindowId(QString::fromLatin1(r.out).section('#', 1).trimmed().toUInt(nullptr, 16));
    }

    // The window group in WM_HINTS: Metacity's family stacks a dialog with the highest of its group.
    static WindowId groupLeader(Desktop &d, WindowId w)
    {
        const RunResult r = d.run("xprop", {"-id", QString::number(w), "WM_HINTS"});
        return WindowId(QString::fromLatin1(r.out).section("group leader:", 1).trimmed().toUInt(nullptr, 16));
    }

    // Opens a window from the standard ruler's menu; it must float at its design size.
    static WindowId floatingAtSize(Desktop &d, WindowId ruler, const QString &caption, const QString &role, QSize size)
    {
        if (!chooseFromRulerMenu(d, ruler, caption))
            return 0;
        const WindowId w = d.waitForWindow(role, 5000);
        if (!w || d.waitForStableGeometry(w).size() != size || !floatsOnI3(d, w))
            return 0;
        return w;
    }

private slots:
    void everyWindowFloatsOnATilingManager()
    {
        DesktopOptions o;
        o.i3 = true;
        o.trayHost = false; // i3bar has its own
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        d.startProgram();
        const WindowId splash = d.waitForWindow("frmSplash", 10000);
        QVERIFY(splash);
        QCOMPARE(d.waitForStableGeometry(splash).size(), QSize(516, 257));
        QVERIFY(floatsOnI3(d, splash));
        QVERIFY(d.windowTypes(splash).contains("_NET_WM_WINDOW_TYPE_SPLASH"));
        d.saveArtifact(d.screenshot(), "i3-splash");

        const WindowId ruler = d.waitForWindow("frmRuler", 10000);
        QVERIFY(ruler);
        const QRect g = d.waitForStableGeometry(ruler);
        QCOMPARE(g, QRect(300, 452, 767, 73));
        QVERIFY(floatsOnI3(d, ruler));
        QVERIFY(d.netWmState(ruler).contains("_NET_WM_STATE_SKIP_TASKBAR"));

        const WindowId angle = floatingAtSize(d, ruler, "45-Angle", "frm45Angle", QSize(645, 483));
        QVERIFY2(angle, qPrintable(d.describeWindows()));
        QVERIFY(!d.netWmState(angle).contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(waitUntil([&] { return activeWindow(d) == angle; }, 3000));
        const WindowId info = floatingAtSize(d, ruler, "Help", "frmSplash", QSize(516, 500));
        QVERIFY2(info, qPrintable(d.describeWindows()));
        d.saveArtifact(d.screenshot(), "i3-windows");

        // The ruler's free end, clear of the other windows, dragged up and left.
        const QPoint grab = g.topLeft() + QPoint(700, 20);
        QVERIFY(d.drag(grab, grab + QPoint(-100, -150)));
        QVERIFY2(waitUntil(
                     [&] {
                         return (d.geometry(ruler).topLeft() - (g.topLeft() + QPoint(-100, -150))).manhattanLength()
                             <= 6;
                     },
                     3000),
                 qPrintable(d.describeWindows()));
        d.saveArtifact(d.screenshot(), "i3-dragged");
    }

    void angleRulerTakesTheFocus()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY(ruler);
        QVERIFY(chooseFromRulerMenu(d, ruler, "45-Angle"));
        const WindowId angle = d.waitForWindow("frm45Angle", 5000);
        QVERIFY(angle);
        QVERIFY2(waitUntil([&] { return activeWindow(d) == angle; }, 3000), qPrintable(d.describeWindows()));
        QVERIFY(d.windowTypes(angle).contains("_NET_WM_WINDOW_TYPE_DIALOG"));
        // Not in the topmost ruler's group, or Marco and Muffin keep it above every window.
        QCOMPARE(groupLeader(d, angle), angle);
        QVERIFY(groupLeader(d, ruler) != angle);
        // Focus elsewhere, then the menu again: the open angle ruler comes back with the focus.
        QVERIFY(d.clickAt(g.topLeft() + QPoint(700, 20)));
        QVERIFY(waitUntil([&] { return activeWindow(d) != angle; }, 3000));
        QVERIFY(chooseFromRulerMenu(d, ruler, "45-Angle"));
        QVERIFY2(waitUntil([&] { return activeWindow(d) == angle; }, 3000), qPrintable(d.describeWindows()));
        QVERIFY(!d.netWmState(angle).contains("_NET_WM_STATE_DEMANDS_ATTENTION"));
    }

    void trayMenuAnswersWhileTheOpenDialogWaits()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY(ruler);
        const WindowId icon = d.waitForTrayIcon(5000);
        QVERIFY(icon);
        QVERIFY(chooseFromRulerMenu(d, ruler, "Display Picture"));
        const WindowId dialog = d.waitForTitled("Open", 5000);
        QVERIFY(dialog);
        QVERIFY(d.clickAt(d.geometry(icon).center(), 3));
        QVERIFY(d.waitForPopupMenu(3000));
        d.mouseMove(QPoint(600, 700));
        QVERIFY(d.chooseMenuItem(Menu::Tray, "Show Vertical Ruler"));
        QVERIFY2(d.waitForWindow("frmVRuler", 5000), qPrintable(d.describeWindows()));
        d.saveArtifact(d.screenshot(), "tray-during-open");
        QVERIFY(d.topLevelWindows().contains(dialog));
    }
};

QTEST_MAIN(DesktopsE2E)
#include "e2e_desktops.moc"

// SPDX-License-Identifier: MIT
// The rulers by keyboard, with a window manager and without one, and their names as a screen reader
// gets them.
#include "desktop.h"

#include <QtTest>

using namespace e2e;

class KeysE2E : public QObject {
    Q_OBJECT

    // Clicks a window to give it the keyboard, then presses each group of keys and waits for the
    // window to stand where it was at the click, moved by the group's offset.
    static void clickAndPress(Desktop &d, WindowId w, const QList<QPair<QString, QPoint>> &steps)
    {
        const QRect g = d.waitForStableGeometry(w);
        QVERIFY(d.clickAt(g.topLeft() + QPoint(30, 40)) && waitUntil([&] { return d.focusedWindow() == w; }, 3000));
        for (const auto &[keys, by] : steps)
            QVERIFY2(d.key(keys) && waitUntil([&] { return d.geometry(w) == g.translated(by); }, 3000),
                     qPrintable(keys));
    }

private slots:
    // Arrows, Shift, Page steps of the outer height that stop at the monitor's bottom edge; Shift+F10
    // opens the menu at the ruler and Escape closes it, the ruler keeping the keyboard; the vertical
    // ruler, chosen from the menu by the Menu key, steps by its width.
    void keysUnderAWindowManager()
    {
        Desktop d;
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.error() + d.describeWindows()));
        const int h = g.height(), toBottom = d.screenSize().height() - 1 - g.bottom();
        clickAndPress(d, ruler,
                      {{"Right", {1, 0}},
                       {"shift+Up", {1, -10}},
                       {"Next", {1, h - 10}},
                       {"Next Next Next Next Next", {1, toBottom}},
                       {"Prior", {1, toBottom - h}}});
        QVERIFY(d.key("shift+F10"));
        const WindowId menu = d.waitForPopupMenu(3000);
        QVERIFY(menu && d.geometry(menu).intersects(d.geometry(ruler)));
        QVERIFY(d.key("Escape") && d.waitForNoPopupMenu(3000) && d.focusedWindow() == ruler);
        QVERIFY(d.key("Menu") && d.waitForPopupMenu(3000) && d.key("Down Down Down Return"));
        const WindowId vertical = d.waitForWindow("frmVRuler", 5000);
        QVERIFY(vertical);
        const int w = d.waitForStableGeometry(vertical).width();
        clickAndPress(d, vertical, {{"Next", {w, 0}}, {"Prior Prior", {-w, 0}}});
    }

    void keysWithoutAWindowManager()
    {
        DesktopOptions o;
        o.windowManager = false;
        Desktop d(o);
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.error() + d.describeWindows()));
        clickAndPress(d, ruler, {{"Right", {1, 0}}, {"shift+Up", {1, -10}}, {"Next", {1, g.height() - 10}}});
    }

    // The ruler clicked, its menu opened by the Menu key and its first item current: each is
    // announced with its name and kind.
    void namesOnTheAccessibilityBus()
    {
        Desktop d;
        ScreenReader reader(d);
        QVERIFY2(d.ok() && reader.ok(), qPrintable(d.error()));
        d.startProgram({}, reader.env());
        const WindowId ruler = d.waitForWindow("frmRuler", 10000);
        QVERIFY(ruler && d.clickAt(d.waitForStableGeometry(ruler).topLeft() + QPoint(30, 40)));
        QVERIFY(waitUntil([&] { return d.focusedWindow() == ruler; }, 3000));
        QVERIFY(d.key("Menu") && d.waitForPopupMenu(3000) && d.key("Down"));
        const QStringList wanted{"Zentyr standard ruler | frame | Horizontal inch ruler. Arrow keys move it, Page Down "
                                 "and Page Up by its height; the Menu key opens its menu.",
                                 "Zentyr standard ruler menu | popup menu | ", "Hide Ruler | menu item | "};
        QStringList heard;
        const auto allHeard = [&] {
            heard = reader.announced();
            return std::all_of(wanted.begin(), wanted.end(), [&](const QString &w) { return heard.contains(w); });
        };
        QVERIFY2(waitUntil(allHeard, 5000, 500), qPrintable(heard.join('\n')));
        // Only what is on screen is listed, and by name: no hidden window, no nameless one.
        const QStringList listed = reader.topLevelNames();
        QVERIFY2(listed.contains("Zentyr standard ruler") && !listed.contains("") && !listed.contains("Quillet - Main"),
                 qPrintable(listed.join('\n')));
    }
};

QTEST_MAIN(KeysE2E)
#include "e2e_keys.moc"

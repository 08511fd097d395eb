// SPDX-License-Identifier: MIT
// The tray icon and its menu on a real desktop with an XEmbed notification area.
#include "artwork/artwork.h"
#include "desktop.h"

#include <QtTest>

using namespace e2e;

class TrayE2E : public QObject {
    Q_OBJECT

    // The program started with "hideruler", and its icon once it sits in the tray.
    static WindowId startInTray(Desktop &d, Program **app)
    {
        *app = &d.startProgram({"hideruler"});
        return d.waitForTrayIcon(10000);
    }

    static QPoint centre(Desktop &d, WindowId w) { return d.geometry(w).center(); }

    // Right-clicks the icon and leaves the pointer off the menu, so that keys choose.
    static bool openTrayMenu(Desktop &d, WindowId icon)
    {
        d.mouseMove(centre(d, icon));
        d.click(3);
        const bool open = d.waitForPopupMenu(3000);
        d.mouseMove(QPoint(600, 700));
        return open;
    }

private slots:
    void iconPixelsAndTip()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        Program *app = nullptr;
        const WindowId icon = startInTray(d, &app);
        QVERIFY2(icon, qPrintable(d.describeWindows()));
        const QImage shot = d.grabWindow(icon);
        d.saveArtifact(shot, "tray-icon");
        // The small image, unscaled, in the middle of the host's slot.
        const QImage want = zentyr::artwork::iconImage(16).convertToFormat(QImage::Format_RGB32);
        const QPoint at((shot.width() - 16) / 2, (shot.height() - 16) / 2);
        int same = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                same += colorsClose(colorAt(shot, at + QPoint(x, y)), want.pixelColor(x, y), 0);
        QCOMPARE(same, 256);

        // The tip shows the text up to its NUL: no run of 47 blanks after it.
        d.mouseMove(centre(d, icon));
        d.mouseMove(centre(d, icon) + QPoint(1, 0));
        WindowId tip = 0;
        QVERIFY(waitUntil(
            [&] {
                for (WindowId w : d.topLevelWindows())
                    if (d.isOverrideRedirect(w) && d.windowTypes(w).contains("_NET_WM_WINDOW_TYPE_TOOLTIP"))
                        tip = w;
                return tip != 0;
            },
            5000));
        const QImage tipShot = d.grabWindow(tip);
        d.saveArtifact(tipShot, "tray-tip");
        QVERIFY2(tipShot.width() > 60 && tipShot.width() < 200, qPrintable(QString::number(tipShot.width())));
    }

    void mouseOnTheIcon()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        Program *app = nullptr;
        const WindowId icon = startInTray(d, &app);
        QVERIFY(icon);
        d.mouseMove(centre(d, icon));
        // A right press opens nothing; the release opens the menu.
        d.mouseDown(3);
        QTest::qWait(700);
        QVERIFY(d.popupMenus().isEmpty());
        d.mouseUp(3);
        const WindowId menu = d.waitForPopupMenu(3000);
        QVERIFY(menu);
        d.saveArtifact(d.screenshot(), "tray-menu");
        d.key("Escape");
        QVERIFY(d.waitForNoPopupMenu(3000));

        // A single left click does nothing, even after "hideruler"; a double-click shows the ruler.
        QVERIFY(d.click(1));
        QTest::qWait(800);
        QVERIFY(d.findWindows("frmRuler").isEmpty());
        QVERIFY(d.click(1, 2, 80));
        QVERIFY(d.waitForWindow("frmRuler", 3000));
        QVERIFY(d.click(1, 2, 80));
        QTest::qWait(500);
        QCOMPARE(d.findWindows("frmRuler").size(), 1);
    }

    void aboutShowsTheInformationWindow()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        Program *app = nullptr;
        const WindowId icon = startInTray(d, &app);
        QVERIFY(icon);
        QVERIFY(openTrayMenu(d, icon));
        QVERIFY(d.chooseMenuItem(Menu::Tray, "About Zentyr"));
        const WindowId info = d.waitForWindow("frmSplash", 3000);
        QVERIFY(info);
        const QRect g = d.waitForStableGeometry(info);
        QCOMPARE(g.size(), QSize(516, 500));
        const QImage shot = d.grabWindow(info);
        d.saveArtifact(shot, "information");
        // Both pictures: the ruler strip's orange and the steel rule's grey; the help texts' orange below.
        QVERIFY(countColor(shot, QRect(19, 59, 480, 56), QColor(0xFF, 0xA0, 0x40), 2) > 5000);
        QVERIFY(colorsClose(colorAt(shot, 250, 10), QColor(0xC6, 0xC6, 0xC6), 2));
        QVERIFY(colorsClose(colorAt(shot, 300, 230), QColor(0xB5, 0xB5, 0xB5), 2));
        QVERIFY(countColor(shot, QRect(0, 270, 516, 230), QColor(0xFF, 0xC0, 0x80)) > 10000);
        // It stays: the splash time is long past.
        QTest::qWait(2500);
        QVERIFY(d.findWindows("frmSplash").size() == 1);
    }

    void exitRemovesTheIconAndEnds()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        Program *app = nullptr;
        const WindowId icon = startInTray(d, &app);
        QVERIFY(icon);
        QVERIFY(openTrayMenu(d, icon));
        QVERIFY(d.chooseMenuItem(Menu::Tray, "Exit Zentyr"));
        QVERIFY(app->waitForExit(3000));
        QCOMPARE(app->exitCode(), 0);
        QVERIFY(waitUntil([&] { return d.trayIconWindows().isEmpty(); }, 2000));
    }
};

QTEST_MAIN(TrayE2E)
#include "e2e_tray.moc"

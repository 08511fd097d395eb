// SPDX-License-Identifier: MIT
// The real program from start: splash, hand-over, tray icon, ruler; second copies; "hideruler".
#include "desktop.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace e2e;

class StartupE2E : public QObject {
    Q_OBJECT

private slots:
    void splashThenTrayThenRuler()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QElapsedTimer clock;
        clock.start();
        Program &app = d.startProgram();
        const WindowId splash = d.waitForWindow("frmSplash", 5000);
        QVERIFY2(splash, qPrintable(d.describeWindows()));
        const qint64 splashSeen = clock.elapsed();

        // Centred at its design size, no title bar, not in the taskbar, OK hidden.
        const QRect g = d.waitForStableGeometry(splash);
        QCOMPARE(g.size(), QSize(516, 257));
        QVERIFY2(qAbs(g.center().x() - 640) <= 1 && qAbs(g.center().y() - 400) <= 1,
                 qPrintable(QString("%1,%2").arg(g.x()).arg(g.y())));
        QVERIFY(d.netWmState(splash).contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QCOMPARE(d.frameGeometry(splash), g); // nothing of the window manager's around it
        const QImage shot = d.grabWindow(splash);
        d.saveArtifact(shot, "splash");
        // The steel rule's grey field above, its darker bevel below, and no help texts.
        QVERIFY(colorsClose(colorAt(shot, 250, 10), QColor(0xC6, 0xC6, 0xC6), 2));
        QVERIFY(colorsClose(colorAt(shot, 200, 200), QColor(0xB5, 0xB5, 0xB5), 2));
        QCOMPARE(countColor(shot, shot.rect(), QColor(0xFF, 0xC0, 0x80)), 0);
        // The ruler strip's orange body under the banner.
        QVERIFY(countColor(shot, QRect(16, 56, 480, 56), QColor(0xFF, 0xA0, 0x40), 2) > 5000);
        QVERIFY(d.trayIconWindows().isEmpty());
        QVERIFY(d.findWindows("frmRuler").isEmpty());

        // About two seconds later the splash has gone and the icon is in the tray.
        QVERIFY(d.waitForNoWindow("frmSplash", 5000));
        const qint64 gone = clock.elapsed();
        QVERIFY2(gone - splashSeen > 1500 && gone < 4500, qPrintable(QString::number(gone)));
        QVERIFY(d.waitForTrayIcon(5000));

        // A second later the standard ruler: topmost, not focused.
        const WindowId ruler = d.waitForWindow("frmRuler", 4000);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        const qint64 rulerAt = clock.elapsed();
        QVERIFY2(rulerAt - gone > 500, qPrintable(QString::number(rulerAt - gone)));
        QVERIFY(d.netWmState(ruler).contains("_NET_WM_STATE_ABOVE"));
        QVERIFY(d.focusedWindow() != ruler);
        d.saveArtifact(d.screenshot(), "running");
        QVERIFY(app.isRunning());
    }

    // Whatever the spelling of the display or the runtime folder a copy sees, a second copy on
    // the same display shows the box and ends cleanly.
    void secondCopyIsRefused()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        Program &first = d.startProgram();
        QVERIFY(d.waitForTrayIcon(8000));
        QVERIFY(d.waitForWindow("frmRuler", 4000));

        QTemporaryDir otherRuntime;
        ::chmod(QFile::encodeName(otherRuntime.path()).constData(), 0700);
        const QString n = d.display().mid(1);
        const QString binary = qEnvironmentVariable("ZENTYR_BINARY");
        struct Variant {
            const char *name;
            QString display;
            enum { Same, Unset, Other } runtime;
        };
        const Variant variants[] = {
            {"same", ":" + n, Variant::Same},
            {"screen number", ":" + n + ".0", Variant::Same},
            {"unix", "unix:" + n, Variant::Same},
            {"unix, screen number", "unix:" + n + ".0", Variant::Same},
            {"no XDG_RUNTIME_DIR", ":" + n, Variant::Unset},
            {"another XDG_RUNTIME_DIR", ":" + n + ".0", Variant::Other},
        };
        for (const Variant &v : variants) {
            const QString row = QString::fromLatin1(v.name);
            Env env{{"DISPLAY", v.display}};
            if (v.runtime == Variant::Other)
                env.insert("XDG_RUNTIME_DIR", otherRuntime.path());
            Program &second = v.runtime == Variant::Unset
                ? d.startProcess("/usr/bin/env", {"-u", "XDG_RUNTIME_DIR", binary}, env)
                : d.startProgram({}, env);
            const WindowId box
                = d.waitForTitled("Look in the system tray next to the time at the bottom of the screen.", 8000);
            QVERIFY2(box, qPrintable(row + ": " + d.describeWindows()));
            QCOMPARE(d.windowPid(box), second.pid());
            if (v.runtime == Variant::Same && v.display == ":" + n) {
                d.waitForStableGeometry(box);
                d.saveArtifact(d.grabWindow(box), "already-running");
                d.saveArtifact(d.screenshot().copy(d.frameGeometry(box)), "already-running-framed");
            }
            // Nothing else of the second copy is on screen, and it added no icon.
            QCOMPARE(d.findWindows("frmSplash", second.pid()).size(), 0);
            QCOMPARE(d.trayIconWindows().size(), 1);
            d.key("Return");
            QVERIFY2(second.waitForExit(5000), qPrintable(row));
            QCOMPARE(second.exitCode(), 0);
            // The first copy goes on unchanged.
            QVERIFY(first.isRunning());
            QCOMPARE(d.trayIconWindows().size(), 1);
            QCOMPARE(d.findWindows("frmRuler", first.pid()).size(), 1);
        }
    }

    void hideruler()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        Program &app = d.startProgram({"hideruler"});
        QVERIFY(d.waitForTrayIcon(8000));
        QTest::qWait(2000);
        QVERIFY(d.findWindows("frmRuler").isEmpty());
        QVERIFY(app.isRunning());
    }
};

QTEST_MAIN(StartupE2E)
#include "e2e_startup.moc"

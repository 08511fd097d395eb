// SPDX-License-Identifier: MIT
// The rulers by keyboard, with a window manager and without one, and their names on the
// accessibility bus (AT-SPI, read with dbus-send on a private session bus).
#include "desktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace e2e;

class KeysE2E : public QObject {
    Q_OBJECT

    // Presses keys on the focused window and waits for `w` to reach `to`.
    static bool keysMove(Desktop &d, WindowId w, const QString &keys, QRect to)
    {
        return d.key(keys) && waitUntil([&] { return d.geometry(w) == to; }, 3000);
    }

    // A click gives the ruler the keyboard; arrows, Shift and the Page step move it.
    static void clickAndStep(Desktop &d, WindowId ruler, QRect g)
    {
        QVERIFY(d.clickAt(g.topLeft() + QPoint(30, 40)));
        QVERIFY2(waitUntil([&] { return d.focusedWindow() == ruler; }, 3000), qPrintable(d.describeWindows()));
        QVERIFY(keysMove(d, ruler, "Right", g.translated(1, 0)));
        QVERIFY(keysMove(d, ruler, "shift+Up", g.translated(1, -10)));
        QVERIFY(keysMove(d, ruler, "Next", g.translated(1, g.height() - 10)));
    }

    // One string property of an accessible object on the accessibility bus.
    static QString reply(Desktop &d, const QString &bus, const QStringList &call)
    {
        const QString out
            = QString::fromUtf8(d.run("dbus-send", QStringList{"--bus=" + bus, "--print-reply=literal"} + call).out);
        return out.trimmed().remove(QRegularExpression("^variant\\s*"));
    }

private slots:
    void keysMoveAndStepRulersAndOpenTheirMenus()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        clickAndStep(d, ruler, g);
        if (QTest::currentTestFailed())
            return;
        // Page Down stops at the monitor's bottom edge; Page Up steps a whole height back.
        QVERIFY(d.key("Next Next Next Next"));
        QVERIFY(waitUntil([&] { return d.geometry(ruler).bottom() == d.screenSize().height() - 1; }, 3000));
        const QRect bottom = d.waitForStableGeometry(ruler);
        QVERIFY(keysMove(d, ruler, "Prior", bottom.translated(0, -g.height())));

        // Shift+F10 opens the menu at the ruler; Escape closes it and leaves the keyboard with the ruler.
        QVERIFY(d.key("shift+F10"));
        const WindowId menu = d.waitForPopupMenu(3000);
        QVERIFY(menu && d.geometry(menu).intersects(d.geometry(ruler)));
        d.saveArtifact(d.screenshot(), "menu-by-keys");
        QVERIFY(d.key("Escape") && d.waitForNoPopupMenu(3000));
        QVERIFY(d.focusedWindow() == ruler);
        // The Menu key, then arrows and Return in the menu: "Vertical Ruler", whose Page step is its width.
        QVERIFY(d.key("Menu") && d.waitForPopupMenu(3000) && d.key("Down Down Down Return"));
        const WindowId vertical = d.waitForWindow("frmVRuler", 5000);
        QVERIFY(vertical);
        const QRect v = d.waitForStableGeometry(vertical);
        QVERIFY(d.clickAt(v.center()) && waitUntil([&] { return d.focusedWindow() == vertical; }, 3000));
        QVERIFY(keysMove(d, vertical, "Next", v.translated(v.width(), 0)));
        QVERIFY(keysMove(d, vertical, "Prior Prior", v.translated(-v.width(), 0)));
    }

    void keysWithoutWindowManager()
    {
        DesktopOptions o;
        o.windowManager = false;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        clickAndStep(d, ruler, g);
    }

    // The rulers and their menus are named and typed for a screen reader.
    void namesOnTheAccessibilityBus()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString path = d.homeDir() + "/bus", session = "unix:path=" + path;
        d.startProcess("/usr/bin/dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=" + session});
        QVERIFY(waitUntil([&] { return QFile::exists(path); }, 5000));
        d.startProcess("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"},
                       {{"DBUS_SESSION_BUS_ADDRESS", session}});
        d.startProgram({}, {{"DBUS_SESSION_BUS_ADDRESS", session}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}});
        const WindowId ruler = d.waitForWindow("frmRuler", 10000);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        const QString bus = reply(d, session, {"--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"});
        auto children = [&](const QString &dest, const QString &object) {
            const QString out = QString::fromUtf8(d.run("dbus-send",
                                                        {"--bus=" + bus, "--print-reply", "--dest=" + dest, object,
                                                         "org.a11y.atspi.Accessible.GetChildren"})
                                                      .out);
            QStringList found;
            for (const auto &m : QRegularExpression("string \"([^\"]*)\"\\s+object path \"([^\"]*)\"").globalMatch(out))
                found << m.captured(1) + ' ' + m.captured(2);
            return found;
        };
        auto describe = [&](const QString &app, const QString &object) {
            const QStringList get{"--dest=" + app, object, "org.freedesktop.DBus.Properties.Get",
                                  "string:org.a11y.atspi.Accessible"};
            return reply(d, bus, get + QStringList{"string:Name"}) + " | "
                + reply(d, bus, {"--dest=" + app, object, "org.a11y.atspi.Accessible.GetRoleName"}) + " | "
                + reply(d, bus, get + QStringList{"string:Description"}).section('.', 0, 0);
        };
        const QString app
            = children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root").value(0).section(' ', 0, 0);
        QStringList windows;
        for (const QString &w : children(app, "/org/a11y/atspi/accessible/root"))
            windows << describe(app, w.section(' ', 1));
        QVERIFY2(windows.contains("Zentyr standard ruler | frame | Horizontal inch ruler"),
                 qPrintable(windows.join('\n')));

        // The menu opened by keys is read as a menu, and so is its first item, to a listener that
        // stays (the program sends no events while nothing listens).
        QDBusConnection listener = QDBusConnection::connectToBus(bus, "listener");
        const QDBusMessage listen
            = QDBusMessage::createMethodCall("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                             "org.a11y.atspi.Registry", "RegisterEvent")
            << "object:" << QStringList() << QString();
        QCOMPARE(listener.call(listen).type(), QDBusMessage::ReplyMessage);
        Program &monitor = d.startProcess("dbus-monitor",
                                          {"--address", bus, "type='signal',interface='org.a11y.atspi.Event.Object'"});
        QVERIFY(d.clickAt(d.geometry(ruler).topLeft() + QPoint(30, 40)));
        QVERIFY(waitUntil([&] { return d.focusedWindow() == ruler; }, 3000));
        QVERIFY(d.key("Menu") && d.waitForPopupMenu(3000) && d.key("Down"));
        QStringList read;
        QVERIFY2(waitUntil(
                     [&] {
                         read.clear();
                         for (const auto &m : QRegularExpression("path=(/org/a11y/atspi/accessible/\\d+);")
                                                  .globalMatch(monitor.stdoutText()))
                             read << describe(app, m.captured(1));
                         return read.contains("Zentyr standard ruler menu | popup menu | ")
                             && read.contains("Hide Ruler | menu item | ");
                     },
                     5000),
                 qPrintable(read.join('\n')));
    }
};

QTEST_MAIN(KeysE2E)
#include "e2e_keys.moc"

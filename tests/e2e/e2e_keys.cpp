// SPDX-License-Identifier: MIT
// The rulers by keyboard, with a window manager and without one, and their names as a screen reader
// gets them from the accessibility bus (AT-SPI) of a private session bus.
#include "desktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QRegularExpression>
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
    void keysMoveStepAndOpenTheMenu()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        // Page Down steps the outer height, and stops at the monitor's bottom edge.
        const int h = g.height(), toBottom = d.screenSize().height() - 1 - g.bottom();
        clickAndPress(d, ruler,
                      {{"Right", {1, 0}},
                       {"shift+Up", {1, -10}},
                       {"Next", {1, h - 10}},
                       {"Next Next Next Next Next", {1, toBottom}},
                       {"Prior", {1, toBottom - h}}});
        if (QTest::currentTestFailed())
            return;
        // Shift+F10 opens the menu at the ruler; Escape closes it, the ruler keeps the keyboard.
        QVERIFY(d.key("shift+F10"));
        const WindowId menu = d.waitForPopupMenu(3000);
        QVERIFY(menu && d.geometry(menu).intersects(d.geometry(ruler)));
        d.saveArtifact(d.screenshot(), "menu-by-keys");
        QVERIFY(d.key("Escape") && d.waitForNoPopupMenu(3000) && d.focusedWindow() == ruler);
        // The Menu key, arrows and Return: "Vertical Ruler", whose Page step is its width.
        QVERIFY(d.key("Menu") && d.waitForPopupMenu(3000) && d.key("Down Down Down Return"));
        const WindowId vertical = d.waitForWindow("frmVRuler", 5000);
        QVERIFY(vertical);
        const int w = d.waitForStableGeometry(vertical).width();
        clickAndPress(d, vertical, {{"Next", {w, 0}}, {"Prior Prior", {-w, 0}}});
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
        clickAndPress(d, ruler, {{"Right", {1, 0}}, {"shift+Up", {1, -10}}, {"Next", {1, g.height() - 10}}});
    }

    // The ruler clicked, its menu opened by the Menu key and its first item current: each is
    // announced with its name and kind.
    void namesOnTheAccessibilityBus()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString socket = d.homeDir() + "/bus", session = "unix:path=" + socket;
        d.startProcess("/usr/bin/dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=" + session});
        QVERIFY(waitUntil([&] { return QFile::exists(socket); }, 5000));
        const Env env{{"DBUS_SESSION_BUS_ADDRESS", session}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}};
        d.startProcess("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"}, env);
        d.startProgram({}, env);
        const WindowId ruler = d.waitForWindow("frmRuler", 10000);
        QVERIFY(ruler);
        auto send = [&](const QString &bus, const QStringList &call) {
            const QByteArray out = d.run("dbus-send", QStringList{"--bus=" + bus, "--print-reply=literal"} + call).out;
            return QString::fromUtf8(out).trimmed().remove(QRegularExpression("^variant\\s*"));
        };
        const QString bus = send(session, {"--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"});
        // A listener that stays: the program sends no events while nothing listens.
        QDBusConnection listener = QDBusConnection::connectToBus(bus, "listener");
        const QDBusMessage listen
            = QDBusMessage::createMethodCall("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                             "org.a11y.atspi.Registry", "RegisterEvent")
            << "object:" << QStringList() << QString();
        QCOMPARE(listener.call(listen).type(), QDBusMessage::ReplyMessage);
        Program &monitor
            = d.startProcess("dbus-monitor", {"--address", bus, "interface='org.a11y.atspi.Event.Object'"});
        QVERIFY(d.clickAt(d.geometry(ruler).topLeft() + QPoint(30, 40)));
        QVERIFY(waitUntil([&] { return d.focusedWindow() == ruler; }, 3000));
        QVERIFY(d.key("Menu") && d.waitForPopupMenu(3000) && d.key("Down"));
        const QStringList wanted{"Zentyr standard ruler | frame | Horizontal inch ruler",
                                 "Zentyr standard ruler menu | popup menu | ", "Hide Ruler | menu item | "};
        QStringList read;
        auto readAll = [&] {
            read.clear();
            QStringList objects;
            for (const auto &m : QRegularExpression("sender=(\\S+) .* path=(/org/a11y/atspi/accessible/\\d+);")
                                     .globalMatch(monitor.stdoutText()))
                objects << "--dest=" + m.captured(1) + ' ' + m.captured(2);
            objects.removeDuplicates();
            for (const QString &o : objects) {
                const QStringList at = o.split(' '),
                                  get
                    = at + QStringList{"org.freedesktop.DBus.Properties.Get", "string:org.a11y.atspi.Accessible"};
                read << send(bus, get + QStringList{"string:Name"}) + " | "
                        + send(bus, at + QStringList{"org.a11y.atspi.Accessible.GetRoleName"}) + " | "
                        + send(bus, get + QStringList{"string:Description"}).section('.', 0, 0);
            }
            return std::all_of(wanted.begin(), wanted.end(), [&](const QString &w) { return read.contains(w); });
        };
        QVERIFY2(waitUntil(readAll, 5000, 500), qPrintable(read.join('\n')));
    }
};

QTEST_MAIN(KeysE2E)
#include "e2e_keys.moc"

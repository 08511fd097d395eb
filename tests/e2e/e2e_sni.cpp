// SPDX-License-Identifier: MIT
// The tray on the other desktops: a status-notifier (D-Bus) host, a host that starts late, and no
// notification area at all. Each desktop gets its own session bus, as under dbus-run-session.
#include "desktop.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace e2e;

namespace {

// A private session bus on the desktop, as dbus-run-session gives; its address, or "".
QString startBus(Desktop &d)
{
    const QString path = d.homeDir() + "/bus";
    d.startProcess("/usr/bin/dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + path});
    return waitUntil([&] { return QFile::exists(path); }, 5000) ? "unix:path=" + path : QString();
}

Env busEnv(const QString &bus) { return {{"DBUS_SESSION_BUS_ADDRESS", bus}}; }

QString busCall(Desktop &d, const QString &bus, const QStringList &args)
{
    return QString::fromUtf8(d.run("dbus-send", QStringList{"--bus=" + bus, "--print-reply"} + args).out);
}

// Every match of a pattern's first group in a dbus-send reply.
QStringList captures(const QString &reply, const QString &pattern)
{
    QStringList out;
    for (const auto &m : QRegularExpression(pattern).globalMatch(reply))
        out << m.captured(1);
    return out;
}

QString property(Desktop &d, const QString &bus, const QString &dest, const QString &path, const QString &name)
{
    const QString iface = name.section('.', 0, -2);
    return busCall(d, bus,
                   {"--dest=" + dest, path, "org.freedesktop.DBus.Properties.Get", "string:" + iface,
                    "string:" + name.section('.', -1)});
}

QStringList registeredItems(Desktop &d, const QString &bus)
{
    return captures(property(d, bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                             "org.kde.StatusNotifierWatcher.RegisteredStatusNotifierItems"),
                    "string \"([^\"]+)\"");
}

// The labels of the menu an item exports over D-Bus, in order.
QStringList exportedMenu(Desktop &d, const QString &bus, const QString &item)
{
    const QStringList path = captures(property(d, bus, item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.Menu"),
                                      "object path \"([^\"]+)\"");
    if (path.isEmpty())
        return {};
    return captures(busCall(d, bus,
                            {"--dest=" + item, path[0], "com.canonical.dbusmenu.GetLayout", "int32:0", "int32:-1",
                             "array:string:"}),
                    "string \"label\"\\s+variant\\s+string \"([^\"]*)\"");
}

// status-notifier-watcher, then gtk-sni-tray-standalone along the top right; the host's window
// once the watcher knows it, else 0.
WindowId startStatusNotifierHost(Desktop &d, const QString &bus)
{
    d.startProcess("/usr/bin/status-notifier-watcher", {}, busEnv(bus));
    waitUntil(
        [&] {
            return property(d, bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                            "org.kde.StatusNotifierWatcher.ProtocolVersion")
                .contains("int32");
        },
        10000);
    Program &host = d.startProcess("/usr/bin/gtk-sni-tray-standalone",
                                   {"--top", "--end", "--size", "30", "--length", "1 % 4"}, busEnv(bus));
    WindowId panel = 0;
    waitUntil(
        [&] {
            for (WindowId w : d.topLevelWindows())
                if (d.windowPid(w) == host.pid())
                    panel = w;
            return panel
                && property(d, bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                            "org.kde.StatusNotifierWatcher.IsStatusNotifierHostRegistered")
                       .contains("true");
        },
        10000);
    return panel;
}

// The message box a zentyr shows on its own: a window of its process titled "Zentyr".
WindowId findBox(Desktop &d, const Program &app)
{
    for (WindowId w : d.topLevelWindows())
        if (d.windowPid(w) == app.pid() && d.windowTitle(w) == QLatin1String("Zentyr"))
            return w;
    return 0;
}

} // namespace

class SniE2E : public QObject {
    Q_OBJECT

private slots:
    // A host that reads the menu over D-Bus, and one that calls the item's ContextMenu method.
    void statusNotifierHost()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString bus = startBus(d);
        QVERIFY(!bus.isEmpty());
        const WindowId panel = startStatusNotifierHost(d, bus);
        QVERIFY2(panel, qPrintable(d.describeWindows()));
        Program *app = &d.startProgram({"hideruler"}, busEnv(bus));
        QVERIFY2(waitUntil([&] { return !registeredItems(d, bus).isEmpty(); }, 10000), qPrintable(app->stderrText()));
        const QString item = registeredItems(d, bus).value(0);
        QCOMPARE(exportedMenu(d, bus, item),
                 QStringList({"About Zentyr", "Help", "Show Standard Ruler", "Show Vertical Ruler", "Exit Zentyr"}));

        // The only item sits at the panel's right end.
        const QRect g = d.waitForStableGeometry(panel);
        const QPoint icon(g.right() - 15, g.center().y());

        // KDE's hosts call the item's ContextMenu method: the program pops its own menu up.
        d.mouseMove(QPoint(900, 300));
        busCall(d, bus,
                {"--dest=" + item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.ContextMenu", "int32:900",
                 "int32:300"});
        QVERIFY(d.waitForPopupMenu(3000));
        d.saveArtifact(d.screenshot(), "kde-style-menu");
        d.mouseMove(QPoint(600, 700));
        QVERIFY(d.chooseMenuItem(Menu::Tray, "Show Vertical Ruler"));
        QVERIFY(d.waitForWindow("frmVRuler", 3000, app->pid()));

        // A left click is the host's activation: the standard ruler, even after "hideruler".
        QVERIFY(d.clickAt(icon, 1));
        QVERIFY(d.waitForWindow("frmRuler", 3000, app->pid()));

        // A right click: the host's menu built from the program's, and nothing of the program's own.
        QVERIFY(d.clickAt(icon, 3));
        const WindowId menu = d.waitForPopupMenu(3000, QString());
        QVERIFY2(menu, qPrintable(d.describeWindows()));
        QTest::qWait(300);
        QVERIFY(d.popupMenus().isEmpty());
        const QRect m = d.waitForStableGeometry(menu);
        QVERIFY2(m.height() > 5 * 18, qPrintable(QString::number(m.height())));
        d.saveArtifact(d.screenshot(), "sni-menu");

        // Its last item, "Exit Zentyr", removes the icon and ends the program.
        const QPoint exit(m.left() + 40, m.bottom() - 12);
        d.mouseMove(exit - QPoint(0, 4));
        d.mouseMove(exit);
        QTest::qWait(200);
        QVERIFY(d.click(1));
        QVERIFY(app->waitForExit(3000));
        QCOMPARE(app->exitCode(), 0);
        QVERIFY(waitUntil([&] { return registeredItems(d, bus).isEmpty(); }, 3000));
    }

    // A panel that starts after the program (at login) gets the icon; the program waits for it.
    void lateHost_data()
    {
        QTest::addColumn<bool>("statusNotifier");
        QTest::newRow("XEmbed") << false;
        QTest::newRow("status notifier") << true;
    }

    void lateHost()
    {
        QFETCH(bool, statusNotifier);
        DesktopOptions o;
        o.trayHost = false;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString bus = startBus(d);
        QVERIFY(!bus.isEmpty());
        Env env = busEnv(bus);
        env.insert("ZENTYR_TRAY_GRACE_MS", "8000");
        QElapsedTimer clock;
        clock.start();
        Program &app = d.startProgram({"hideruler"}, env);
        QTest::qWait(5000);
        QVERIFY(app.isRunning());
        if (statusNotifier) {
            QVERIFY(startStatusNotifierHost(d, bus));
            QVERIFY2(waitUntil([&] { return !registeredItems(d, bus).isEmpty(); }, 5000), qPrintable(app.stderrText()));
        } else {
            d.startProcess(QStringLiteral("/usr/bin/trayer"),
                           {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
                            "--SetDockType", "true", "--SetPartialStrut", "true"});
            QVERIFY2(d.waitForTrayIcon(10000), qPrintable(d.describeWindows()));
        }
        // Past the grace period: still running, nothing said but that the area appeared.
        QTest::qWait(int(std::max<qint64>(0, 12000 - clock.elapsed())));
        QVERIFY(app.isRunning());
        QVERIFY(!findBox(d, app));
        QVERIFY2(app.stderrText().contains("a notification area appeared"), qPrintable(app.stderrText()));
    }

    // No notification area at all: after the grace period a box says so; with "hideruler" the
    // program then ends, otherwise it ends with its last window.
    void noNotificationArea()
    {
        DesktopOptions o;
        o.trayHost = false;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString bus = startBus(d); // a bus, but no status-notifier watcher
        QVERIFY(!bus.isEmpty());
        Env env = busEnv(bus);
        env.insert("ZENTYR_TRAY_GRACE_MS", "3000");

        Program &hidden = d.startProgram({"hideruler"}, env);
        QTest::qWait(4000); // the icon is made at 2 s: within the grace period
        QVERIFY(hidden.isRunning());
        QVERIFY(!findBox(d, hidden));
        WindowId box = 0;
        QVERIFY2(waitUntil([&] { return (box = findBox(d, hidden)) != 0; }, 5000), qPrintable(d.describeWindows()));
        d.saveArtifact(d.grabWindow(box), "no-area-hideruler-box");
        QVERIFY(hidden.isRunning());
        d.key("Return");
        d.run("xdotool", {"keyup", "Return"});
        QVERIFY(hidden.waitForExit(3000));
        QCOMPARE(hidden.exitCode(), 0);
        QVERIFY(hidden.stderrText().contains("no notification area"));

        // Otherwise the box says it ends with its last window, and it does.
        Program &app = d.startProgram({}, env);
        const WindowId ruler = d.waitForWindow("frmRuler", 8000);
        QVERIFY(ruler && waitUntil([&] { return (box = findBox(d, app)) != 0; }, 5000));
        d.key("Return");
        d.run("xdotool", {"keyup", "Return"});
        QVERIFY(waitUntil([&] { return !findBox(d, app); }, 3000) && app.isRunning());
        d.clickAt(d.waitForStableGeometry(ruler).topLeft() + QPoint(200, 20), 3);
        QVERIFY(d.waitForPopupMenu(3000));
        d.mouseMove(QPoint(600, 700));
        QVERIFY(d.chooseMenuItem(Menu::StandardRuler, "Hide Ruler"));
        QVERIFY(app.waitForExit(3000));
    }
};

QTEST_MAIN(SniE2E)
#include "e2e_sni.moc"

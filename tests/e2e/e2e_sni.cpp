// The tray on the other desktops: a status-notifier (D-Bus) host, a host that starts late, and no
// notification area at all. Each desktop gets its own session bus, as under dbus-run-session.
#include "desktop.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace e2e;

namespace {

const QStringList kMenu = {"About Zentyr", "Help", "Show Standard Ruler", "Show Vertical Ruler", "Exit Zentyr"};

// A private session bus on the desktop; its address, or "" when it did not come up.
QString startBus(Desktop &d)
{
    const QString path = d.homeDir() + QStringLiteral("/bus");
    d.startProcess(QStringLiteral("/usr/bin/dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--address=unix:path=") + path});
    return waitUntil([&] { return QFile::exists(path); }, 5000) ? QStringLiteral("unix:path=") + path : QString();
}

Env busEnv(const QString &bus) { return {{QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus}}; }

QString busCall(Desktop &d, const QString &bus, const QStringList &args)
{
    const RunResult r = d.run(QStringLiteral("dbus-send"), QStringList{"--bus=" + bus, "--print-reply"} + args);
    return QString::fromUtf8(r.out);
}

QString watcherProperty(Desktop &d, const QString &bus, const QString &name)
{
    return busCall(d, bus,
                   {"--dest=org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                    "org.freedesktop.DBus.Properties.Get", "string:org.kde.StatusNotifierWatcher", "string:" + name});
}

// The bus names of the items the watcher knows.
QStringList registeredItems(Desktop &d, const QString &bus)
{
    QStringList items;
    static const QRegularExpression item(QStringLiteral("string \"([^\"]+)\""));
    for (const auto &m : item.globalMatch(watcherProperty(d, bus, "RegisteredStatusNotifierItems")))
        items << m.captured(1);
    return items;
}

// The labels of the menu an item exports over D-Bus, in order.
QStringList exportedMenu(Desktop &d, const QString &bus, const QString &item)
{
    const QString menuProp = busCall(d, bus,
                                     {"--dest=" + item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                                      "string:org.kde.StatusNotifierItem", "string:Menu"});
    const QString path = QRegularExpression(QStringLiteral("object path \"([^\"]+)\"")).match(menuProp).captured(1);
    if (path.isEmpty() || path == QLatin1String("/NO_DBUSMENU"))
        return {};
    const QString layout = busCall(d, bus,
                                   {"--dest=" + item, path, "com.canonical.dbusmenu.GetLayout", "int32:0", "int32:-1",
                                    "array:string:"});
    QStringList labels;
    static const QRegularExpression label(QStringLiteral("string \"label\"\\s+variant\\s+string \"([^\"]*)\""));
    for (const auto &m : label.globalMatch(layout))
        labels << m.captured(1);
    return labels;
}

// status-notifier-watcher and gtk-sni-tray-standalone along the top right; the host's window once
// the watcher has it, else 0.
WindowId startStatusNotifierHost(Desktop &d, const QString &bus, Program **host)
{
    d.startProcess(QStringLiteral("/usr/bin/status-notifier-watcher"), {}, busEnv(bus));
    if (!waitUntil([&] { return watcherProperty(d, bus, "ProtocolVersion").contains("int32"); }, 10000))
        return 0;
    *host = &d.startProcess(QStringLiteral("/usr/bin/gtk-sni-tray-standalone"),
                            {"--top", "--end", "--size", "30", "--length", "1 % 4"}, busEnv(bus));
    WindowId panel = 0;
    waitUntil([&] {
        for (WindowId w : d.topLevelWindows())
            if (d.windowPid(w) == (*host)->pid())
                panel = w;
        return panel && watcherProperty(d, bus, "IsStatusNotifierHostRegistered").contains("true");
    }, 10000);
    return panel;
}

// The zentyr started with "hideruler" once its item is registered; "" on time-out.
QString startRegistered(Desktop &d, const QString &bus, Program **app)
{
    *app = &d.startProgram({"hideruler"}, busEnv(bus));
    QString item;
    waitUntil([&] {
        const QStringList items = registeredItems(d, bus);
        item = items.isEmpty() ? QString() : items.first();
        return !item.isEmpty();
    }, 10000);
    return item;
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
    void statusNotifierHost()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString bus = startBus(d);
        QVERIFY(!bus.isEmpty());
        Program *host = nullptr, *app = nullptr;
        const WindowId panel = startStatusNotifierHost(d, bus, &host);
        QVERIFY2(panel, qPrintable(d.describeWindows()));
        const QString item = startRegistered(d, bus, &app);
        QVERIFY2(!item.isEmpty(), qPrintable(app->stderrText()));
        QCOMPARE(exportedMenu(d, bus, item), kMenu);

        // The only item sits at the panel's right end.
        const QRect g = d.waitForStableGeometry(panel);
        const QPoint icon(g.right() - 15, g.center().y());
        d.saveArtifact(d.screenshot().copy(g), "sni-panel");

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

    // KDE's hosts call the item's ContextMenu method: the program pops its own menu up.
    void kdeStyleContextMenu()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString bus = startBus(d);
        QVERIFY(!bus.isEmpty());
        Program *host = nullptr, *app = nullptr;
        QVERIFY(startStatusNotifierHost(d, bus, &host));
        const QString item = startRegistered(d, bus, &app);
        QVERIFY(!item.isEmpty());
        d.mouseMove(QPoint(900, 300));
        busCall(d, bus, {"--dest=" + item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.ContextMenu",
                         "int32:900", "int32:300"});
        const WindowId menu = d.waitForPopupMenu(3000);
        QVERIFY2(menu, qPrintable(d.describeWindows()));
        d.saveArtifact(d.screenshot(), "kde-style-menu");
        d.mouseMove(QPoint(600, 700));
        QVERIFY(d.chooseMenuItemByKeys(2)); // Show Standard Ruler
        QVERIFY(d.waitForWindow("frmRuler", 3000, app->pid()));
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
            Program *host = nullptr;
            QVERIFY(startStatusNotifierHost(d, bus, &host));
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

        Program &app = d.startProgram({}, env);
        const WindowId ruler = d.waitForWindow("frmRuler", 8000);
        QVERIFY(ruler);
        QVERIFY(waitUntil([&] { return (box = findBox(d, app)) != 0; }, 5000));
        d.saveArtifact(d.grabWindow(box), "no-area-box");
        d.key("Return");
        d.run("xdotool", {"keyup", "Return"});
        QVERIFY(waitUntil([&] { return !findBox(d, app); }, 3000));
        QVERIFY(app.isRunning());
        const QRect g = d.waitForStableGeometry(ruler);
        d.mouseMove(g.topLeft() + QPoint(200, 20));
        d.click(3);
        QVERIFY(d.waitForPopupMenu(3000));
        d.mouseMove(QPoint(600, 700));
        QVERIFY(d.chooseMenuItemByKeys(0)); // Hide Ruler
        QVERIFY(app.waitForExit(3000));
    }
};

QTEST_MAIN(SniE2E)
#include "e2e_sni.moc"

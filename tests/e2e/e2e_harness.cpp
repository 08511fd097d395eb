// SPDX-License-Identifier: MIT
// Self-test of the e2e harness. The program under test is not needed: this executable
// re-runs itself with --child as a small stand-in window (role "probe") with a tray icon.
#include "desktop.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <cstring>

using namespace e2e;

namespace {

// Bare Xvfb: no window manager, no tray host.
DesktopOptions bareServerOptions()
{
    DesktopOptions o;
    o.windowManager = false;
    o.trayHost = false;
    return o;
}

const QColor kProbeColor(0x20, 0xa0, 0x60);
const QColor kTrayColor(0xe0, 0x10, 0x30);
const QRect kProbeRect(100, 100, 300, 80);

// ---- child mode ----------------------------------------------------------------------

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class Probe : public QWidget {
public:
    QMenu menu;
    QString typed;
    bool moving = false;

protected:
    void mousePressEvent(QMouseEvent *e) override { say(QStringLiteral("press %1").arg(int(e->button()))); }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        // A system move is only started while the left button is held (see openbox notes).
        if ((e->buttons() & Qt::LeftButton) && !moving) {
            moving = true;
            say(QStringLiteral("systemmove %1").arg(windowHandle()->startSystemMove() ? "true" : "false"));
        }
    }
    void mouseReleaseEvent(QMouseEvent *) override { moving = false; }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Escape) {
            hide(); // unmapped, but the X window stays
            say(QStringLiteral("hidden"));
            return;
        }
        typed += e->text();
        say(QStringLiteral("typed %1").arg(typed));
    }
    void contextMenuEvent(QContextMenuEvent *e) override
    {
        say(QStringLiteral("context %1").arg(int(e->reason())));
        menu.popup(e->globalPos());
    }
};

int childMain(int argc, char **argv)
{
    QApplication app(argc, argv);
    Probe probe;
    if (app.arguments().contains(QStringLiteral("--decorated")))
        probe.setWindowFlags(Qt::Window);
    else
        probe.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    probe.setWindowRole(QStringLiteral("probe"));
    probe.setWindowTitle(QStringLiteral("Probe"));
    QPalette pal = probe.palette();
    pal.setColor(QPalette::Window, kProbeColor);
    probe.setPalette(pal);
    probe.setAutoFillBackground(true);
    probe.setGeometry(kProbeRect);

    QMenu &menu = probe.menu;
    menu.addAction(QStringLiteral("Alpha"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Beta"));
    menu.addAction(QStringLiteral("Gamma"))->setEnabled(false);
    menu.addAction(QStringLiteral("Delta"));
    QObject::connect(&menu, &QMenu::triggered, [](QAction *a) { say(QStringLiteral("triggered %1").arg(a->text())); });
    QObject::connect(&menu, &QMenu::hovered, [](QAction *a) { say(QStringLiteral("hovered %1").arg(a->text())); });

    QPixmap icon(22, 22);
    icon.fill(kTrayColor);
    QSystemTrayIcon tray{QIcon(icon)};
    tray.setContextMenu(&menu);
    QObject::connect(&tray, &QSystemTrayIcon::activated,
                     [](QSystemTrayIcon::ActivationReason r) { say(QStringLiteral("tray %1").arg(int(r))); });
    const bool withTray = app.arguments().contains(QStringLiteral("--tray"));
    if (withTray)
        tray.show();

    // Reports the program's own view of the tray icon geometry when it changes.
    QTimer geometryWatch;
    QRect lastTrayGeometry;
    QObject::connect(&geometryWatch, &QTimer::timeout, [&] {
        const QRect g = tray.geometry();
        if (g != lastTrayGeometry) {
            lastTrayGeometry = g;
            say(QStringLiteral("traygeometry %1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
        }
    });
    if (withTray)
        geometryWatch.start(25);

    probe.show();
    say(QStringLiteral("ready tray=%1").arg(QSystemTrayIcon::isSystemTrayAvailable() ? "yes" : "no"));
    return app.exec();
}

// Holds a Desktop until killed, for the test that kills it.
int holdDesktopMain(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Desktop desk;
    say(desk.ok() ? QStringLiteral("display %1 %2").arg(desk.display().mid(1), desk.homeDir())
                  : QStringLiteral("error ") + desk.error());
    QThread::sleep(120);
    return 0;
}

// ---- test helpers ---------------------------------------------------------------------

int displayNumber(const Desktop &d) { return d.display().mid(1).toInt(); }

QString selfExe() { return QCoreApplication::applicationFilePath(); }
QString selfInstance() { return QFileInfo(selfExe()).fileName(); }

// True when some process has DISPLAY=:n in its environment or is an Xvfb for :n.
QStringList processesOnDisplay(int n)
{
    QStringList found;
    const QByteArray needle = "DISPLAY=:" + QByteArray::number(n) + '\0';
    const QByteArray xvfbArg = ":" + QByteArray::number(n);
    for (const QString &name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        name.toInt(&isPid);
        if (!isPid)
            continue;
        QFile env(QStringLiteral("/proc/%1/environ").arg(name));
        QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(name));
        const QByteArray e = env.open(QIODevice::ReadOnly) ? env.readAll() : QByteArray();
        const QList<QByteArray> argv = cmd.open(QIODevice::ReadOnly) ? cmd.readAll().split('\0') : QList<QByteArray>();
        const bool xvfb = argv.size() > 1 && argv[0].endsWith("Xvfb") && argv[1] == xvfbArg;
        if (e.contains(needle) || xvfb)
            found << name + QLatin1Char(' ') + QString::fromLocal8Bit(argv.value(0));
    }
    return found;
}

bool alive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray s = stat.readAll();
    const qsizetype close = s.lastIndexOf(')');
    return close < 0 || s.mid(close + 2, 1) != "Z"; // a zombie counts as gone
}

bool near(const QRect &a, const QRect &b, int tol)
{
    return std::abs(a.x() - b.x()) <= tol && std::abs(a.y() - b.y()) <= tol && std::abs(a.width() - b.width()) <= tol
        && std::abs(a.height() - b.height()) <= tol;
}

QString rectText(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

// ---- tests ------------------------------------------------------------------------------

class HarnessTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Desktop> desk;
    Program *child = nullptr;
    WindowId probe = 0;

    bool waitForOutput(const QString &line, int timeoutMs = 5000)
    {
        return waitUntil([&] { return child->stdoutText().split(QLatin1Char('\n')).contains(line); }, timeoutMs);
    }
    int triggeredCount() const { return int(child->stdoutText().count(QStringLiteral("\ntriggered "))); }
    QString lastTriggered() const
    {
        const QString out = child->stdoutText();
        const qsizetype at = out.lastIndexOf(QStringLiteral("\ntriggered "));
        return at < 0 ? QString() : out.mid(at + 11).section(QLatin1Char('\n'), 0, 0);
    }

    // Starts the stand-in program unless it is already showing, so each test also runs alone.
    bool ensureProbe()
    {
        if (child && child->isRunning() && desk->findWindows(QStringLiteral("probe"), child->pid()).contains(probe))
            return true;
        child = &desk->startProcess(selfExe(), {QStringLiteral("--child"), QStringLiteral("--tray")});
        probe = desk->waitForWindow(QStringLiteral("probe"), 15000);
        return probe != 0 && !desk->waitForStableGeometry(probe).isNull();
    }
    QString childLog() const
    {
        return QStringLiteral("\n--- child stdout:\n%1--- child stderr:\n%2--- windows:\n%3")
            .arg(child ? child->stdoutText() : QString(), child ? child->stderrText() : QString(),
                 desk->describeWindows());
    }

private slots:
    void initTestCase()
    {
        QElapsedTimer t;
        t.start();
        desk = std::make_unique<Desktop>();
        QVERIFY2(desk->ok(), qPrintable(desk->error()));
        qInfo("desktop %s up in %lld ms", qPrintable(desk->display()), t.elapsed());
    }

    void cleanup()
    {
        if (QTest::currentTestFailed() && desk)
            qInfo("diagnostics: %s",
                  qPrintable(desk->saveDiagnostics(QString::fromLatin1(QTest::currentTestFunction()))));
    }

    void desktopIsUp()
    {
        bool baseOk = false;
        const int base = qEnvironmentVariableIntValue("ZENTYR_E2E_DISPLAY_BASE", &baseOk);
        if (baseOk)
            QVERIFY2(displayNumber(*desk) >= base && displayNumber(*desk) <= base + 9, qPrintable(desk->display()));

        // Screenshots: the xcb grab matches ImageMagick's import of the same root window.
        const QImage shot = desk->screenshot();
        QCOMPARE(shot.size(), QSize(1280, 800));
        const RunResult imp
            = desk->run(QStringLiteral("/usr/bin/import"),
                        {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")}, 20000);
        QVERIFY2(imp.ok(), imp.err.constData());
        const QImage viaImport = QImage::fromData(imp.out, "PNG").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(viaImport.size(), shot.size());
        int differ = 0;
        QPoint firstDiff;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (!colorsClose(colorAt(shot, x, y), colorAt(viaImport, x, y), 0) && differ++ == 0)
                    firstDiff = QPoint(x, y);
        QVERIFY2(differ == 0,
                 qPrintable(QStringLiteral("%1 pixels differ, first at %2,%3: %4 vs %5")
                                .arg(differ)
                                .arg(firstDiff.x())
                                .arg(firstDiff.y())
                                .arg(colorAt(shot, firstDiff).name(), colorAt(viaImport, firstDiff).name())));
        QVERIFY(!desk->saveArtifact(shot, QStringLiteral("desktop")).isEmpty());
    }

    void programApi()
    {
        Program &sh = desk->startProcess(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("echo out:$EXTRA; echo err:$DISPLAY >&2; exit 3")},
            {{QStringLiteral("EXTRA"), QStringLiteral("x1")}});
        QVERIFY(sh.waitForExit(5000));
        QVERIFY(!sh.isRunning());
        QCOMPARE(sh.exitCode(), 3);
        QCOMPARE(sh.stdoutText(), QStringLiteral("out:x1\n"));
        QCOMPARE(sh.stderrText(), QStringLiteral("err:%1\n").arg(desk->display()));

        Program &sleeper = desk->startProcess(QStringLiteral("/bin/sleep"), {QStringLiteral("60")});
        QVERIFY(sleeper.isRunning());
        QVERIFY(!sleeper.waitForExit(100));
        QCOMPARE(sleeper.exitCode(), -1);
        sleeper.terminate();
        QVERIFY(sleeper.waitForExit(5000));
        QCOMPARE(sleeper.exitCode(), -1); // ended by a signal
        QVERIFY(!alive(sleeper.pid()));

        Program &missing = desk->startProcess(QStringLiteral("/nonexistent/zentyr"));
        QVERIFY(!missing.isRunning());
        QCOMPARE(missing.exitCode(), -1);
        QVERIFY(missing.stderrText().contains(QStringLiteral("failed to start")));

        // Nothing of the caller's session leaks in; the runtime directory is private.
        const RunResult r = desk->run(QStringLiteral("sh"),
                                      {QStringLiteral("-c"),
                                       QStringLiteral("echo $DISPLAY $QT_QPA_PLATFORM $HOME $LC_ALL "
                                                      "${DBUS_SESSION_BUS_ADDRESS:-nobus} "
                                                      "$(stat -c %a \"$XDG_RUNTIME_DIR\"); exit 4")});
        QVERIFY(r.started && !r.timedOut);
        QCOMPARE(r.exitCode, 4);
        QCOMPARE(QString::fromUtf8(r.out.trimmed()),
                 QStringLiteral("%1 xcb %2 C.UTF-8 nobus 700").arg(desk->display(), desk->homeDir()));
        const RunResult slow = desk->run(QStringLiteral("sleep"), {QStringLiteral("30")}, 300);
        QVERIFY(slow.timedOut);
        QVERIFY(!slow.ok());
    }

    void probeWindow()
    {
        QElapsedTimer t;
        t.start();
        QVERIFY(!child);
        child = &desk->startProcess(selfExe(), {QStringLiteral("--child"), QStringLiteral("--tray")});
        probe = desk->waitForWindow(QStringLiteral("probe"), 15000);
        QVERIFY2(probe, qPrintable(childLog()));
        const qint64 mappedMs = t.elapsed();
        const QRect first = desk->geometry(probe);
        const QRect g = desk->waitForStableGeometry(probe, 300, 5000);
        qInfo("probe mapped after %lld ms at %s, stable at %s", mappedMs, qPrintable(rectText(first)),
              qPrintable(rectText(g)));
        QVERIFY2(near(g, kProbeRect, 2), qPrintable(rectText(g)));
        QCOMPARE(desk->findWindows(QStringLiteral("probe")), QList<WindowId>{probe});
        QVERIFY(desk->findWindows(QStringLiteral("prob")).isEmpty());
        QCOMPARE(desk->findWindows(QStringLiteral("probe"), child->pid()), QList<WindowId>{probe});
        QVERIFY(desk->findWindows(QStringLiteral("probe"), child->pid() + 100000).isEmpty());
        QCOMPARE(desk->windowPid(probe), child->pid());
        QCOMPARE(desk->windowTitle(probe), QStringLiteral("Probe"));
        QVERIFY(!desk->isOverrideRedirect(probe));
        QVERIFY(desk->topLevelWindows().contains(probe));
        QVERIFY2(desk->netWmState(probe).contains(QStringLiteral("_NET_WM_STATE_ABOVE")),
                 qPrintable(desk->netWmState(probe).join(',')));

        // The probe's colour fills exactly its rectangle on screen, and nothing else.
        const int area = g.width() * g.height();
        QImage shot;
        QVERIFY(waitUntil(
            [&] {
                shot = desk->screenshot();
                return countColor(shot, g, kProbeColor, 2) == area
                    && countColor(shot, shot.rect(), kProbeColor, 2) == area;
            },
            5000));
        QVERIFY(colorsClose(colorAt(shot, g.center()), kProbeColor, 2));
        const QImage grab = desk->grabWindow(probe);
        QCOMPARE(grab.size(), g.size());
        QCOMPARE(countColor(grab, grab.rect(), kProbeColor, 2), area);
        desk->saveArtifact(grab, QStringLiteral("probe"));
    }

    void keyboardAndFocus()
    {
        QVERIFY2(ensureProbe(), qPrintable(childLog()));
        const QRect g = desk->geometry(probe);
        QVERIFY(desk->clickAt(g.center()));
        QVERIFY(waitForOutput(QStringLiteral("press 1")));
        QVERIFY2(waitUntil([&] { return desk->focusedWindow() == probe; }, 5000), qPrintable(childLog()));
        QVERIFY(desk->type(QStringLiteral("ab")));
        QVERIFY(desk->key(QStringLiteral("c shift+d")));
        QVERIFY2(waitForOutput(QStringLiteral("typed abcD")), qPrintable(childLog()));
    }

    void contextMenuByKeys_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("hoverFirst");
        // Menu: Alpha, separator, Beta, Gamma (disabled), Delta.
        QTest::newRow("first") << 0 << QStringLiteral("Alpha") << false;
        QTest::newRow("skips separator") << 1 << QStringLiteral("Beta") << false;
        QTest::newRow("skips disabled") << 2 << QStringLiteral("Delta") << false;
        // With the pointer resting on Beta, a plain Down would give Delta.
        QTest::newRow("pointer on an item") << 0 << QStringLiteral("Alpha") << true;
    }

    void contextMenuByKeys()
    {
        QFETCH(int, index);
        QFETCH(QString, item);
        QFETCH(bool, hoverFirst);
        QVERIFY2(ensureProbe(), qPrintable(childLog()));
        const int triggeredBefore = triggeredCount();
        QVERIFY(desk->waitForNoPopupMenu(3000, QString()));
        const QRect g = desk->geometry(probe);
        const QPoint at = g.topLeft() + QPoint(20, 20);
        QVERIFY(desk->clickAt(at, 3));
        const WindowId menu = desk->waitForPopupMenu(5000, selfInstance());
        QVERIFY2(menu, qPrintable(childLog()));
        QVERIFY(desk->popupMenus(QStringLiteral("zentyr")).isEmpty());
        QVERIFY(desk->isOverrideRedirect(menu));
        QCOMPARE(desk->popupMenus(QString()), QList<WindowId>{menu});
        const QRect mg = desk->geometry(menu);
        QVERIFY2(mg.topLeft() == at && mg.height() > 4 * 15, qPrintable(rectText(mg)));
        if (hoverFirst) {
            // Beta is the second row, a little below the middle of the menu.
            const qsizetype seen = child->stdoutText().size();
            QVERIFY(desk->mouseMove(mg.center().x(), mg.top() + mg.height() * 2 / 5));
            QVERIFY(desk->mouseMove(mg.center().x() + 5, mg.top() + mg.height() * 2 / 5));
            QVERIFY2(waitUntil([&] { return child->stdoutText().mid(seen).contains(QStringLiteral("hovered Beta\n")); },
                               3000),
                     qPrintable(childLog()));
        }
        QVERIFY(desk->chooseMenuItemByKeys(index));
        QVERIFY2(waitUntil([&] { return triggeredCount() > triggeredBefore; }, 5000), qPrintable(childLog()));
        QVERIFY(desk->waitForNoPopupMenu(3000, QString()));
        QCOMPARE(triggeredCount(), triggeredBefore + 1);
        QCOMPARE(lastTriggered(), item);
    }

    void dragMovesWindow()
    {
        QVERIFY2(ensureProbe(), qPrintable(childLog()));
        const QRect before = desk->geometry(probe);
        const QPoint grip = before.topLeft() + QPoint(40, 40);
        const QPoint delta(200, 150);
        QVERIFY(desk->drag(grip, grip + delta));
        QVERIFY2(waitForOutput(QStringLiteral("systemmove true")), qPrintable(childLog()));
        QRect after;
        const bool moved = waitUntil(
            [&] {
                after = desk->geometry(probe);
                return near(after, before.translated(delta), 3);
            },
            5000);
        QVERIFY2(moved, qPrintable(rectText(before) + " -> " + rectText(after) + childLog()));
        QCOMPARE(desk->findWindows(QStringLiteral("probe")), QList<WindowId>{probe});
    }

    void trayIcon()
    {
        QVERIFY2(ensureProbe(), qPrintable(childLog()));
        QElapsedTimer t;
        t.start();
        const WindowId icon = desk->waitForTrayIcon(10000);
        QVERIFY2(icon, qPrintable(childLog()));
        const QRect ig = desk->geometry(icon);
        qInfo("tray icon %s found after %lld ms more", qPrintable(rectText(ig)), t.elapsed());
        QCOMPARE(desk->trayIconWindows(), QList<WindowId>{icon});
        // The program's own view of the icon agrees with X.
        const auto lastTrayGeometry = [&] {
            const QStringList seen
                = child->stdoutText().split(QLatin1Char('\n')).filter(QStringLiteral("traygeometry "));
            return seen.isEmpty() ? QString() : seen.last().section(QLatin1Char(' '), 1);
        };
        QVERIFY2(waitUntil([&] { return lastTrayGeometry() == rectText(ig); }, 5000), qPrintable(childLog()));
        QImage shot;
        QVERIFY2(waitUntil(
                     [&] {
                         shot = desk->screenshot();
                         return countColor(shot, ig, kTrayColor, 8) > ig.width() * ig.height() / 2;
                     },
                     5000),
                 qPrintable(rectText(ig)));

        // Left press (not release) gives Trigger.
        const auto activations = [&](QSystemTrayIcon::ActivationReason r) {
            return int(child->stdoutText().count(QStringLiteral("\ntray %1\n").arg(int(r))));
        };
        QVERIFY(desk->mouseMove(ig.center()));
        QVERIFY(desk->mouseDown(1));
        QVERIFY2(waitUntil([&] { return activations(QSystemTrayIcon::Trigger) == 1; }, 5000), qPrintable(childLog()));
        QVERIFY(desk->mouseUp(1));
        // A double-click gives Trigger, then DoubleClick.
        QVERIFY(desk->click(1, 2));
        QVERIFY2(waitUntil([&] { return activations(QSystemTrayIcon::DoubleClick) == 1; }, 5000),
                 qPrintable(childLog()));
        QCOMPARE(activations(QSystemTrayIcon::Trigger), 2);
        // Right press opens the menu (and gives Context); the release leaves it open.
        QVERIFY(desk->mouseDown(3));
        const WindowId menu = desk->waitForPopupMenu(5000, selfInstance());
        QVERIFY2(menu, qPrintable(childLog()));
        QVERIFY(waitUntil([&] { return activations(QSystemTrayIcon::Context) == 1; }, 5000));
        QVERIFY(desk->mouseUp(3));
        QTest::qWait(300);
        QCOMPARE(desk->popupMenus(selfInstance()), QList<WindowId>{menu});
        qInfo("tray menu at %s", qPrintable(rectText(desk->geometry(menu))));
        desk->saveArtifact(desk->screenshot(), QStringLiteral("tray-menu"));
        const int triggeredBefore = triggeredCount();
        QVERIFY(desk->chooseMenuItemByKeys(1));
        QVERIFY2(waitUntil([&] { return triggeredCount() > triggeredBefore; }, 5000), qPrintable(childLog()));
        QCOMPARE(lastTriggered(), QStringLiteral("Beta"));
        QVERIFY(desk->waitForNoPopupMenu(3000, QString()));
    }

    void decoratedWindowAndStacking()
    {
        QVERIFY2(ensureProbe(), qPrintable(childLog()));
        Program &plain = desk->startProcess(selfExe(), {QStringLiteral("--child"), QStringLiteral("--decorated")});
        const WindowId w = desk->waitForWindow(QStringLiteral("probe"), 15000, plain.pid());
        QVERIFY2(w && w != probe, qPrintable(plain.stderrText()));
        QCOMPARE(desk->findWindows(QStringLiteral("probe")).size(), 2);
        const QRect g = desk->waitForStableGeometry(w);
        const QRect frame = desk->frameGeometry(w);
        qInfo("decorated client %s in frame %s", qPrintable(rectText(g)), qPrintable(rectText(frame)));
        QVERIFY2(frame.contains(g) && frame.height() > g.height() + 10, qPrintable(rectText(frame)));
        QCOMPARE(g.size(), kProbeRect.size());
        QVERIFY(!desk->netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        // The stays-on-top probe stays above the newer normal window.
        QVERIFY(desk->isAbove(probe, w));
        QVERIFY(!desk->isAbove(w, probe));
        // openbox focuses new windows; its Alt+F4 closes politely, so the last window closing quits.
        QVERIFY2(waitUntil([&] { return desk->focusedWindow() == w; }, 5000), qPrintable(desk->describeWindows()));
        QVERIFY(desk->key(QStringLiteral("alt+F4")));
        QVERIFY(desk->waitForNoWindow(QStringLiteral("probe"), 5000, plain.pid()));
        QVERIFY(plain.waitForExit(5000));
        QCOMPARE(plain.exitCode(), 0);
        QCOMPARE(desk->findWindows(QStringLiteral("probe")), QList<WindowId>{probe});
    }

    void bareServer()
    {
        Desktop bare(bareServerOptions());
        QVERIFY2(bare.ok(), qPrintable(bare.error()));
        Program &c = bare.startProcess(selfExe(), {QStringLiteral("--child"), QStringLiteral("--tray")});
        const WindowId w = bare.waitForWindow(QStringLiteral("probe"), 15000);
        QVERIFY2(w, qPrintable(c.stderrText()));
        // No WM: no reparenting, and Qt sees no tray.
        QCOMPARE(bare.geometry(w), kProbeRect);
        QCOMPARE(bare.frameGeometry(w), kProbeRect);
        QCOMPARE(bare.topLevelWindows(), QList<WindowId>{w});
        QVERIFY(waitUntil([&] { return c.stdoutText().contains(QStringLiteral("ready tray=no")); }, 5000));
        // Without a WM startSystemMove() fails and the window stays put.
        QVERIFY(bare.drag(kProbeRect.topLeft() + QPoint(30, 30), kProbeRect.topLeft() + QPoint(130, 80)));
        QVERIFY(waitUntil([&] { return c.stdoutText().contains(QStringLiteral("systemmove false")); }, 5000));
        QCOMPARE(bare.geometry(w), kProbeRect);
        // Without a WM the newest window is on top.
        Program &second = bare.startProcess(selfExe(), {QStringLiteral("--child")});
        const WindowId w2 = bare.waitForWindow(QStringLiteral("probe"), 15000, second.pid());
        QVERIFY(w2 && w2 != w);
        QCOMPARE(bare.topLevelWindows(), (QList<WindowId>{w, w2}));
        QVERIFY(bare.isAbove(w2, w));
        QVERIFY(!bare.isAbove(w, w2));
    }

    void windowGoesAway()
    {
        QVERIFY2(ensureProbe(), qPrintable(childLog()));
        QVERIFY(!desk->waitForNoWindow(QStringLiteral("probe"), 200));
        QVERIFY(desk->clickAt(desk->geometry(probe).center()));
        QVERIFY(waitUntil([&] { return desk->focusedWindow() == probe; }, 5000));
        QVERIFY(desk->key(QStringLiteral("Escape")));
        QVERIFY2(desk->waitForNoWindow(QStringLiteral("probe"), 5000), qPrintable(childLog()));
        QVERIFY(!desk->geometry(probe).isNull()); // unmapped, not destroyed
        QVERIFY(child->isRunning());
        child->terminate();
        QVERIFY(child->waitForExit(5000));
        QVERIFY(waitUntil([&] { return desk->geometry(probe).isNull(); }, 5000));
        QVERIFY(waitUntil([&] { return desk->trayIconWindows().isEmpty(); }, 5000));
    }

    void teardownLeavesNothing()
    {
        int display = -1;
        qint64 childPid = 0;
        QString home;
        {
            Desktop other;
            QVERIFY2(other.ok(), qPrintable(other.error()));
            QVERIFY(other.display() != desk->display());
            display = displayNumber(other);
            home = other.homeDir();
            Program &c = other.startProcess(selfExe(), {QStringLiteral("--child")});
            QVERIFY(other.waitForWindow(QStringLiteral("probe"), 15000));
            // Only the other desktop sees its probe.
            QVERIFY(desk->findWindows(QStringLiteral("probe")).isEmpty());
            // A grandchild in its own session escapes process-group kills; the sweep must get it.
            other.startProcess(QStringLiteral("/bin/sh"),
                               {QStringLiteral("-c"), QStringLiteral("setsid sleep 120 & wait")});
            childPid = c.pid();
            QVERIFY(waitUntil([&] { return processesOnDisplay(display).size() >= 6; }, 5000));
        }
        QVERIFY(!alive(childPid));
        const QStringList left = processesOnDisplay(display);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1String(", "))));
        const RunResult pgrep
            = desk->run(QStringLiteral("pgrep"), {QStringLiteral("-f"), QStringLiteral("Xvfb :%1 ").arg(display)});
        QCOMPARE(pgrep.exitCode, 1); // nothing matched
        QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)));
        QVERIFY(!QFileInfo::exists(home));
    }

    void killedTestLeavesNothing()
    {
        // What a CTest timeout does: SIGKILL the test process, so no destructor runs.
        // A private TMPDIR, so no desktop of a parallel test cleans up before the one here does.
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QProcess holder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp.path());
        holder.setProcessEnvironment(env);
        holder.start(selfExe(), {QStringLiteral("--hold-desktop")});
        QVERIFY(holder.waitForStarted(5000));
        QVERIFY(waitUntil([&] { return holder.canReadLine() || holder.waitForReadyRead(10); }, 20000));
        const QString line = QString::fromUtf8(holder.readLine()).trimmed();
        QVERIFY2(line.startsWith(QStringLiteral("display ")), qPrintable(line));
        const int display = line.section(QLatin1Char(' '), 1, 1).toInt();
        QVERIFY(processesOnDisplay(display).size() >= 3);
        ::kill(pid_t(holder.processId()), SIGKILL);
        QVERIFY(holder.waitForFinished(5000));
        QStringList left;
        QVERIFY2(waitUntil([&] { return (left = processesOnDisplay(display)).isEmpty(); }, 5000),
                 qPrintable(left.join(QLatin1String(", "))));
        // Its temporary directory goes when the next desktop starts.
        const QString home = line.section(QLatin1Char(' '), 2, 2);
        QVERIFY2(home.startsWith(tmp.path()), qPrintable(home));
        QVERIFY(QFileInfo::exists(home));
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        {
            Desktop next(bareServerOptions());
            QVERIFY2(next.ok(), qPrintable(next.error()));
            QVERIFY(next.homeDir().startsWith(tmp.path()));
        }
        if (oldTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTmp);
        QVERIFY(!QFileInfo::exists(home));
    }

    void cleanupTestCase()
    {
        const int display = desk ? displayNumber(*desk) : -1;
        desk.reset();
        if (display >= 0)
            QVERIFY(processesOnDisplay(display).isEmpty());
    }
};

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--child") == 0)
            return childMain(argc, argv);
        else if (std::strcmp(argv[i], "--hold-desktop") == 0)
            return holdDesktopMain(argc, argv);
    QApplication app(argc, argv);
    HarnessTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "e2e_harness.moc"

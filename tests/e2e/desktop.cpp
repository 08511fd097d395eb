// SPDX-License-Identifier: MIT
// The desktop's life: a private temporary directory and environment, Xvfb, openbox and trayer
// started in turn, and everything torn down again.
#include "desktop_p.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QThread>

#include <unistd.h>

namespace e2e {

bool waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs)
{
    QElapsedTimer timer;
    timer.start();
    pollMs = std::max(pollMs, 1);
    for (;;) {
        // Read the clock before the check so the last check happens after the deadline.
        const qint64 elapsed = timer.elapsed();
        if (condition())
            return true;
        if (elapsed >= timeoutMs)
            return false;
        const int nap = int(std::min<qint64>(pollMs, std::max<qint64>(timeoutMs - elapsed, 1)));
        if (QCoreApplication::instance())
            QTest::qWait(nap);
        else
            QThread::msleep(nap);
    }
}

namespace {

constexpr int kStartTimeoutMs = 20000; // for each of Xvfb, openbox and trayer

const char kOpenboxRc[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <resistance><strength>0</strength><screen_edge_strength>0</screen_edge_strength></resistance>
  <focus>
    <focusNew>yes</focusNew><followMouse>no</followMouse><focusLast>yes</focusLast>
    <underMouse>no</underMouse><raiseOnFocus>no</raiseOnFocus>
  </focus>
  <placement><policy>Smart</policy><center>yes</center><monitor>Primary</monitor></placement>
  <theme><name>Clearlooks</name><titleLayout>LIMC</titleLayout><keepBorder>yes</keepBorder>
    <animateIconify>no</animateIconify></theme>
  <desktops><number>1</number><firstdesk>1</firstdesk><popupTime>0</popupTime></desktops>
  <resize><drawContents>yes</drawContents><popupShow>Never</popupShow></resize>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <keyboard>
    <keybind key="A-F4"><action name="Close"/></keybind>
  </keyboard>
  <mouse>
    <dragThreshold>1</dragThreshold><doubleClickTime>500</doubleClickTime>
    <screenEdgeWarpTime>0</screenEdgeWarpTime>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Middle" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar Top Right Bottom Left TLCorner TRCorner BRCorner BLCorner">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar"><mousebind button="Left" action="Drag"><action name="Move"/></mousebind></context>
    <context name="Top"><mousebind button="Left" action="Drag"><action name="Resize"><edge>top</edge></action></mousebind></context>
    <context name="Left"><mousebind button="Left" action="Drag"><action name="Resize"><edge>left</edge></action></mousebind></context>
    <context name="Right"><mousebind button="Left" action="Drag"><action name="Resize"><edge>right</edge></action></mousebind></context>
    <context name="Bottom"><mousebind button="Left" action="Drag"><action name="Resize"><edge>bottom</edge></action></mousebind></context>
    <context name="TRCorner BRCorner TLCorner BLCorner"><mousebind button="Left" action="Drag"><action name="Resize"/></mousebind></context>
    <context name="Iconify"><mousebind button="Left" action="Click"><action name="Iconify"/></mousebind></context>
    <context name="Maximize"><mousebind button="Left" action="Click"><action name="ToggleMaximize"/></mousebind></context>
    <context name="Close"><mousebind button="Left" action="Click"><action name="Close"/></mousebind></context>
  </mouse>
  <menu><file>menu.xml</file><hideDelay>0</hideDelay></menu>
  <applications/>
</openbox_config>
)";

const char kOpenboxMenu[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_menu xmlns="http://openbox.org/3.4/menu">
  <menu id="root-menu" label="Openbox"/>
</openbox_menu>
)";

// A test process killed outright (CTest timeout) leaves its temporary directory behind.
void removeStaleTempDirs()
{
    QDir tmp(QDir::tempPath());
    const QStringList dirs = tmp.entryList({QString::fromLatin1(kTempPrefix) + QStringLiteral("??????")}, QDir::Dirs);
    for (const QString &name : dirs) {
        QFile owner(tmp.filePath(name) + QStringLiteral("/owner"));
        if (!owner.open(QIODevice::ReadOnly))
            continue; // not ours, or still being set up
        const pid_t pid = owner.readAll().trimmed().toInt();
        owner.close();
        if (pid > 0 && !processAlive(pid))
            QDir(tmp.filePath(name)).removeRecursively();
    }
}

// A server started without -displayfd holds /tmp/.XN-lock. Ours use -displayfd, which takes
// no lock but refuses a live socket and reuses a stale one.
bool lockHeld(int n)
{
    QFile lock(QStringLiteral("/tmp/.X%1-lock").arg(n));
    if (!lock.open(QIODevice::ReadOnly))
        return false;
    const pid_t pid = lock.readAll().trimmed().toInt();
    return pid <= 0 || processAlive(pid); // unreadable: leave it alone
}

} // namespace

bool Desktop::Impl::startXvfb()
{
    bool baseOk = false;
    int base = qEnvironmentVariableIntValue("ZENTYR_E2E_DISPLAY_BASE", &baseOk);
    if (!baseOk || base <= 0)
        base = 300;
    QStringList tried;
    for (int n = base; n < base + 10; ++n) {
        if (lockHeld(n)) {
            tried << QStringLiteral(":%1 locked").arg(n);
            continue;
        }
        std::unique_ptr<Program> p
            = spawn(tool(QStringLiteral("Xvfb")),
                    {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("%1x%2x24").arg(options.screen.width()).arg(options.screen.height()),
                     QStringLiteral("-dpi"), QStringLiteral("96"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     // No reset when the last client leaves, and say on stdout when ready.
                     QStringLiteral("-noreset"), QStringLiteral("-displayfd"), QStringLiteral("1")},
                    baseEnv);
        const QString want = QString::number(n);
        const bool ready
            = waitUntil([&] { return p->stdoutText().trimmed() == want || !p->isRunning(); }, kStartTimeoutMs, 20);
        if (ready && p->isRunning()) {
            xvfb = std::move(p);
            display = n;
            break;
        }
        tried << QStringLiteral(":%1 %2").arg(n).arg(ready ? tail(p.get(), 3) : QStringLiteral("timed out"));
        stop(p, 1000);
    }
    if (!xvfb) {
        error = QStringLiteral("no Xvfb display in %1..%2: %3")
                    .arg(base)
                    .arg(base + 9)
                    .arg(tried.join(QStringLiteral("; ")));
        return false;
    }
    conn = xcb_connect(qPrintable(QStringLiteral(":%1").arg(display)), &screenNumber);
    if (!conn || xcb_connection_has_error(conn)) {
        error = QStringLiteral("cannot connect to Xvfb :%1").arg(display);
        return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        error = QStringLiteral("Xvfb :%1 has no screen %2").arg(display).arg(screenNumber);
        return false;
    }
    root = it.data->root;
    screenSize = QSize(it.data->width_in_pixels, it.data->height_in_pixels);
    baseEnv.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    return true;
}

// Each monitor named M<i>, its millimetres as given or at 96 dpi; the primary takes over the screen's output.
bool Desktop::Impl::splitMonitors()
{
    auto xrandr = [&](const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(baseEnv);
        p.start(tool(QStringLiteral("xrandr")), args);
        const bool done = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!done)
            error = QStringLiteral("xrandr %1 failed: %2")
                        .arg(args.join(QLatin1Char(' ')), QString::fromLocal8Bit(p.readAllStandardError()));
        return done;
    };
    for (int i = 0; i < options.monitors.size(); ++i) {
        const QRect m = options.monitors[i];
        const QSize mm
            = options.monitorMillimetres.value(i, QSize(qRound(m.width() * 25.4 / 96), qRound(m.height() * 25.4 / 96)));
        const QString geometry = QStringLiteral("%1/%2x%3/%4+%5+%6")
                                     .arg(m.width())
                                     .arg(mm.width())
                                     .arg(m.height())
                                     .arg(mm.height())
                                     .arg(m.x())
                                     .arg(m.y());
        const QString output = i == options.primaryMonitor ? QStringLiteral("screen") : QStringLiteral("none");
        if (!xrandr({QStringLiteral("--setmonitor"), QStringLiteral("M%1").arg(i), geometry, output}))
            return false;
    }
    return options.monitors.isEmpty()
        || xrandr({QStringLiteral("--output"), QStringLiteral("screen"), QStringLiteral("--primary")});
}

bool Desktop::Impl::startWindowManager()
{
    if (options.i3) {
        // The stock config in place skips i3's first-run wizard.
        QDir().mkpath(config + QStringLiteral("/i3"));
        if (!QFile::copy(QStringLiteral("/etc/i3/config"), config + QStringLiteral("/i3/config"))) {
            error = QStringLiteral("cannot copy /etc/i3/config (is i3-wm installed?)");
            return false;
        }
        wm = spawn(tool(QStringLiteral("i3")), {}, baseEnv);
        if (!waitUntil([&] { return wmUp() || !wm->isRunning(); }, kStartTimeoutMs, 20) || !wmManagesNewWindows()) {
            error = QStringLiteral("i3 did not come up:\n%1").arg(tail(wm.get()));
            return false;
        }
        return true;
    }
    const QString dir = config + QStringLiteral("/openbox");
    QDir().mkpath(dir);
    const QString rc = dir + QStringLiteral("/rc.xml");
    QFile f(rc), m(dir + QStringLiteral("/menu.xml"));
    if (!f.open(QIODevice::WriteOnly) || f.write(kOpenboxRc) < 0 || !m.open(QIODevice::WriteOnly)
        || m.write(kOpenboxMenu) < 0) {
        error = QStringLiteral("cannot write openbox config in %1").arg(dir);
        return false;
    }
    f.close();
    m.close();
    wm = spawn(tool(QStringLiteral("openbox")), {QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), rc},
               baseEnv);
    if (!waitUntil([&] { return wmUp() || !wm->isRunning(); }, kStartTimeoutMs, 20) || !wmUp()) {
        error = QStringLiteral("openbox did not come up:\n%1").arg(tail(wm.get()));
        return false;
    }
    if (!wmManagesNewWindows()) {
        error = QStringLiteral("openbox does not manage new windows:\n%1").arg(tail(wm.get()));
        return false;
    }
    return true;
}

// openbox announces itself before it has finished starting; a window mapped in between (seen
// with trayer's panel under load) is never managed. So map a throw-away window and wait until
// openbox has reparented it, mapping it again now and then in case a request got lost.
bool Desktop::Impl::wmManagesNewWindows()
{
    const xcb_window_t w = xcb_generate_id(conn);
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, w, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const QByteArray name = "zentyr-e2e-wm-probe";
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, name.size(),
                        name.constData());
    xcb_map_window(conn, w);
    xcb_flush(conn);
    QElapsedTimer sinceMap;
    sinceMap.start();
    const bool managed = waitUntil(
        [&] {
            if (parentOf(w) != root && hasProp(w, "WM_STATE"))
                return true;
            if (sinceMap.elapsed() > 150) {
                xcb_map_window(conn, w);
                xcb_flush(conn);
                sinceMap.restart();
            }
            return false;
        },
        kStartTimeoutMs, 20);
    xcb_destroy_window(conn, w);
    xcb_flush(conn);
    return managed;
}

bool Desktop::Impl::startTrayHost()
{
    tray = spawn(tool(QStringLiteral("trayer")),
                 {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                  QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"),
                  QStringLiteral("24"), QStringLiteral("--SetDockType"), QStringLiteral("true"),
                  QStringLiteral("--SetPartialStrut"), QStringLiteral("true")},
                 baseEnv);
    auto upNow = [&] { return trayOwned() && trayPanel() != 0; };
    if (!waitUntil([&] { return upNow() || !tray->isRunning(); }, kStartTimeoutMs, 20) || !upNow()) {
        error = QStringLiteral("trayer did not come up (running: %1, selection owned: %2, panel: %3):\n%4")
                    .arg(tray->isRunning() ? "yes" : "no", trayOwned() ? "yes" : "no",
                         trayPanel() ? "mapped" : "not found", tail(tray.get()));
        return false;
    }
    return true;
}

Desktop::Desktop(const DesktopOptions &options) : d(new Impl)
{
    d->options = options;
    if (!d->tmp.isValid()) {
        d->error = QStringLiteral("cannot create a temporary directory: %1").arg(d->tmp.errorString());
        return;
    }
    const QString t = d->tmp.path();
    QFile owner(t + QStringLiteral("/owner"));
    if (owner.open(QIODevice::WriteOnly))
        owner.write(QByteArray::number(qint64(::getpid())));
    owner.close();
    removeStaleTempDirs();
    d->home = t + QStringLiteral("/home");
    d->runtime = t + QStringLiteral("/runtime");
    d->logs = t + QStringLiteral("/logs");
    d->config = d->home + QStringLiteral("/.config");
    for (const QString &p : {d->home, d->runtime, d->logs, d->config})
        QDir().mkpath(p);
    QFile::setPermissions(d->runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing from the caller's session may leak in: no bus, no session manager, no scaling.
    for (const char *v : {"DISPLAY",
                          "DBUS_SESSION_BUS_ADDRESS",
                          "SESSION_MANAGER",
                          "WAYLAND_DISPLAY",
                          "XAUTHORITY",
                          "XDG_SESSION_TYPE",
                          "XDG_CURRENT_DESKTOP",
                          "DESKTOP_SESSION",
                          "QT_SCALE_FACTOR",
                          "QT_SCREEN_SCALE_FACTORS",
                          "QT_AUTO_SCREEN_SCALE_FACTOR",
                          "QT_ENABLE_HIGHDPI_SCALING",
                          "QT_FONT_DPI",
                          "QT_STYLE_OVERRIDE",
                          "QT_QPA_PLATFORMTHEME",
                          "QT_IM_MODULE",
                          "XMODIFIERS",
                          "LANGUAGE",
                          "LC_MESSAGES",
                          "LC_NUMERIC"})
        env.remove(QString::fromLatin1(v));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), d->home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), d->runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), d->config);
    env.insert(QStringLiteral("XDG_DATA_HOME"), d->home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), d->home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_STATE_HOME"), d->home + QStringLiteral("/.local/state"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    d->baseEnv = env;

    d->up = d->startXvfb() && d->splitMonitors() && (!options.windowManager || d->startWindowManager())
        && (!options.trayHost || d->startTrayHost());
    if (!d->up && d->conn) {
        // Keep the evidence: everything is torn down with this object.
        const QString dir = saveDiagnostics(QStringLiteral("desktop-failed-%1").arg(display()));
        d->error += QStringLiteral("\n(diagnostics in %1)").arg(dir);
    }
}

Desktop::~Desktop()
{
    for (auto &p : d->programs)
        p->terminate();
    for (auto &p : d->programs)
        Impl::stop(p, 2000);
    d->programs.clear();
    Impl::stop(d->tray, 2000);
    Impl::stop(d->wm, 2000);
    if (d->conn)
        xcb_disconnect(d->conn);
    d->conn = nullptr;
    Impl::stop(d->xvfb, 3000); // SIGTERM: Xvfb removes its socket
    d->sweepLeftovers();
}

bool Desktop::ok() const { return d->up; }
QString Desktop::error() const { return d->error; }
QString Desktop::display() const { return d->display >= 0 ? QStringLiteral(":%1").arg(d->display) : QString(); }
QSize Desktop::screenSize() const { return d->screenSize; }
QString Desktop::homeDir() const { return d->home; }

} // namespace e2e

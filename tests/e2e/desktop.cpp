#include "desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace e2e {

// ---------------------------------------------------------------------------------------
// Free helpers

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

QColor colorAt(const QImage &image, int x, int y)
{
    if (!image.valid(x, y))
        return {};
    return QColor(image.pixel(x, y));
}

QColor colorAt(const QImage &image, QPoint p)
{
    return colorAt(image, p.x(), p.y());
}

static bool rgbClose(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

bool colorsClose(const QColor &a, const QColor &b, int tolerance)
{
    if (!a.isValid() || !b.isValid())
        return false;
    return rgbClose(a.rgb(), b.rgb(), tolerance);
}

template<typename F>
static void forEachPixel(const QImage &image, const QRect &area, F f)
{
    const QImage img = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        ? image
        : image.convertToFormat(QImage::Format_RGB32);
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            f(x, y, line[x]);
    }
}

int countColor(const QImage &image, const QRect &area, const QColor &color, int tolerance)
{
    int n = 0;
    const QRgb want = color.rgb();
    forEachPixel(image, area, [&](int, int, QRgb px) {
        if (rgbClose(px, want, tolerance))
            ++n;
    });
    return n;
}

QRect boundingBoxOfColor(const QImage &image, const QRect &area, const QColor &color, int tolerance)
{
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    const QRgb want = color.rgb();
    forEachPixel(image, area, [&](int x, int y, QRgb px) {
        if (!rgbClose(px, want, tolerance))
            return;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    });
    if (left == INT_MAX)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// ---------------------------------------------------------------------------------------
// XProperty

QStringList XProperty::strings() const
{
    if (!exists || format != 8)
        return {};
    QList<QByteArray> parts = data.split('\0');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList out;
    const bool utf8 = type == QLatin1String("UTF8_STRING");
    for (const QByteArray &p : parts)
        out << (utf8 ? QString::fromUtf8(p) : QString::fromLatin1(p));
    return out;
}

QString XProperty::text() const
{
    const QStringList s = strings();
    return s.isEmpty() ? QString() : s.first();
}

QList<quint32> XProperty::values() const
{
    QList<quint32> out;
    if (!exists || format != 32)
        return out;
    const auto *v = reinterpret_cast<const quint32 *>(data.constData());
    for (qsizetype i = 0; i < data.size() / 4; ++i)
        out << v[i];
    return out;
}

// ---------------------------------------------------------------------------------------
// Program

struct Program::Impl
{
    QProcess proc;
    QString outPath;
    QString errPath;
    QString commandLine;
    qint64 pid = 0;
    bool started = false;
    QString startError;
};

Program::Program() : d(new Impl) {}

Program::~Program()
{
    if (d->started && d->proc.state() != QProcess::NotRunning) {
        terminate();
        if (!waitForExit(2000))
            kill();
    }
    // Members of the group that outlive the leader (daemonised children) go too.
    if (d->pid > 0)
        ::kill(-pid_t(d->pid), SIGKILL);
}

qint64 Program::pid() const { return d->pid; }
QString Program::commandLine() const { return d->commandLine; }
QString Program::stdoutPath() const { return d->outPath; }
QString Program::stderrPath() const { return d->errPath; }

bool Program::isRunning() const
{
    if (!d->started || d->proc.state() == QProcess::NotRunning)
        return false;
    d->proc.waitForFinished(0); // reaps it if it has exited
    return d->proc.state() != QProcess::NotRunning;
}

bool Program::waitForExit(int timeoutMs)
{
    if (!d->started || d->proc.state() == QProcess::NotRunning)
        return true;
    d->proc.waitForFinished(std::max(timeoutMs, 0));
    return d->proc.state() == QProcess::NotRunning;
}

int Program::exitCode() const
{
    if (!d->started || isRunning() || d->proc.exitStatus() != QProcess::NormalExit)
        return -1;
    return d->proc.exitCode();
}

bool Program::crashed() const
{
    return d->started && !isRunning() && d->proc.exitStatus() == QProcess::CrashExit;
}

void Program::terminate()
{
    if (d->pid > 0 && isRunning()) {
        ::kill(-pid_t(d->pid), SIGTERM);
        ::kill(pid_t(d->pid), SIGTERM);
    }
}

void Program::kill()
{
    if (d->pid <= 0)
        return;
    ::kill(-pid_t(d->pid), SIGKILL);
    if (d->proc.state() != QProcess::NotRunning) {
        ::kill(pid_t(d->pid), SIGKILL);
        d->proc.waitForFinished(5000);
    }
}

static QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QString Program::stdoutText() const { return readText(d->outPath); }

QString Program::stderrText() const
{
    QString text = readText(d->errPath);
    if (!d->started)
        text += QStringLiteral("[harness] failed to start %1: %2\n").arg(d->commandLine, d->startError);
    return text;
}

// ---------------------------------------------------------------------------------------
// Desktop

namespace {

// Prefer the distribution's tools: another `convert`/`import` and friends can come first on PATH.
QString tool(const QString &name)
{
    const QString system = QStringLiteral("/usr/bin/") + name;
    if (QFileInfo(system).isExecutable())
        return system;
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? name : found;
}

QString hex(WindowId w) { return QStringLiteral("0x") + QString::number(w, 16); }

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

// True for a live process; a zombie (orphans are not always reaped here) is not.
bool processAlive(pid_t pid)
{
    if (pid <= 0 || (::kill(pid, 0) != 0 && errno != EPERM))
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray st = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const qsizetype close = st.lastIndexOf(')');
    return !(close > 0 && st.mid(close + 2, 1) == "Z");
}

const char kTempPrefix[] = "zentyr-e2e-";

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

struct Attributes
{
    bool viewable = false;
    bool overrideRedirect = false;
};

} // namespace

struct Desktop::Impl
{
    DesktopOptions options;
    QString error;
    bool up = false;

    QTemporaryDir tmp{QDir::tempPath() + QLatin1Char('/') + QLatin1String(kTempPrefix) + QStringLiteral("XXXXXX")};
    QString home, runtime, logs, config;
    int display = -1;
    QProcessEnvironment baseEnv;

    xcb_connection_t *conn = nullptr;
    xcb_window_t root = 0;
    int screenNumber = 0;
    QSize screenSize;

    std::unique_ptr<Program> xvfb, wm, tray;
    std::vector<std::unique_ptr<Program>> programs;
    int spawned = 0;

    // Qt merges two presses of one button within its double-click interval (400 ms) into a
    // double-click, so a new press waits until this much time has passed since the last one.
    static constexpr int kClickGapMs = 500;
    QElapsedTimer lastPress;
    int lastPressButton = 0;

    void beforePress(int button)
    {
        if (lastPress.isValid() && lastPressButton == button && lastPress.elapsed() < kClickGapMs)
            QThread::msleep(kClickGapMs - lastPress.elapsed());
    }
    void pressed(int button)
    {
        lastPress.start();
        lastPressButton = button;
    }

    mutable QHash<QByteArray, xcb_atom_t> atomCache;
    mutable QHash<xcb_atom_t, QString> nameCache;

    // --- processes ---------------------------------------------------------------------

    std::unique_ptr<Program> spawn(const QString &executable, const QStringList &args,
                                   const QProcessEnvironment &env)
    {
        std::unique_ptr<Program> p(new Program);
        Program::Impl &pi = *p->d;
        const QString tag = QStringLiteral("%1-%2").arg(++spawned, 2, 10, QLatin1Char('0'))
                                .arg(QFileInfo(executable).fileName());
        pi.outPath = logs + QLatin1Char('/') + tag + QStringLiteral(".out");
        pi.errPath = logs + QLatin1Char('/') + tag + QStringLiteral(".err");
        pi.commandLine = (QStringList{executable} + args).join(QLatin1Char(' '));
        pi.proc.setProgram(executable);
        pi.proc.setArguments(args);
        pi.proc.setProcessEnvironment(env);
        pi.proc.setWorkingDirectory(home);
        pi.proc.setStandardInputFile(QProcess::nullDevice());
        pi.proc.setStandardOutputFile(pi.outPath);
        pi.proc.setStandardErrorFile(pi.errPath);
        const pid_t parent = ::getpid();
        pi.proc.setChildProcessModifier([parent] {
            // Own group so the whole tree can be signalled; die with the test process.
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)
                ::_exit(127);
        });
        pi.proc.start();
        pi.started = pi.proc.waitForStarted(10000);
        if (pi.started)
            pi.pid = pi.proc.processId();
        else
            pi.startError = pi.proc.errorString();
        return p;
    }

    static void stop(std::unique_ptr<Program> &p, int graceMs)
    {
        if (!p)
            return;
        p->terminate();
        if (!p->waitForExit(graceMs))
            p->kill();
        p.reset();
    }

    // Anything that inherited this desktop's private runtime dir was started by it. Repeated until
    // two passes find nothing: a process in the middle of fork or exec can be missed once.
    void sweepLeftovers() const
    {
        if (runtime.isEmpty())
            return;
        const QByteArray needle = "XDG_RUNTIME_DIR=" + QFile::encodeName(runtime) + '\0';
        int quietPasses = 0;
        for (int pass = 0; pass < 50 && quietPasses < 2; ++pass) {
            bool found = false;
            const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            for (const QString &name : pids) {
                bool isPid = false;
                const pid_t pid = name.toInt(&isPid);
                if (!isPid || pid == ::getpid() || !processAlive(pid))
                    continue;
                QFile env(QStringLiteral("/proc/%1/environ").arg(pid));
                if (env.open(QIODevice::ReadOnly) && env.readAll().contains(needle)) {
                    ::kill(pid, SIGKILL);
                    found = true;
                }
            }
            quietPasses = found ? 0 : quietPasses + 1;
            QThread::msleep(20);
        }
    }

    static QString tail(const Program *p, int lines = 15)
    {
        if (!p)
            return {};
        QStringList l = p->stderrText().split(QLatin1Char('\n'));
        if (l.size() > lines)
            l = l.mid(l.size() - lines);
        return l.join(QLatin1Char('\n'));
    }

    // --- X queries -----------------------------------------------------------------------

    xcb_atom_t atom(const QByteArray &name) const
    {
        if (!conn)
            return XCB_ATOM_NONE;
        if (auto it = atomCache.constFind(name); it != atomCache.constEnd())
            return *it;
        xcb_intern_atom_reply_t *r =
            xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, name.size(), name.constData()), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        if (a != XCB_ATOM_NONE)
            atomCache.insert(name, a);
        return a;
    }

    QString atomName(xcb_atom_t a) const
    {
        if (!conn || a == XCB_ATOM_NONE)
            return {};
        if (auto it = nameCache.constFind(a); it != nameCache.constEnd())
            return *it;
        xcb_get_atom_name_reply_t *r = xcb_get_atom_name_reply(conn, xcb_get_atom_name(conn, a), nullptr);
        QString n;
        if (r)
            n = QString::fromLatin1(xcb_get_atom_name_name(r), xcb_get_atom_name_name_length(r));
        free(r);
        nameCache.insert(a, n);
        return n;
    }

    XProperty prop(xcb_window_t w, const QByteArray &name) const
    {
        XProperty out;
        const xcb_atom_t a = atom(name);
        if (!conn || !w || a == XCB_ATOM_NONE)
            return out;
        xcb_get_property_reply_t *r = xcb_get_property_reply(
            conn, xcb_get_property(conn, 0, w, a, XCB_GET_PROPERTY_TYPE_ANY, 0, 1u << 22), nullptr);
        if (r && r->type != XCB_ATOM_NONE) {
            out.exists = true;
            out.type = atomName(r->type);
            out.format = r->format;
            out.data = QByteArray(static_cast<const char *>(xcb_get_property_value(r)),
                                  xcb_get_property_value_length(r)); // in bytes
        }
        free(r);
        return out;
    }

    bool hasProp(xcb_window_t w, const QByteArray &name) const { return prop(w, name).exists; }

    quint32 firstValue(xcb_window_t w, const QByteArray &name) const
    {
        const QList<quint32> v = prop(w, name).values();
        return v.isEmpty() ? 0 : v.first();
    }

    QStringList atomList(xcb_window_t w, const QByteArray &name) const
    {
        QStringList out;
        for (quint32 a : prop(w, name).values())
            out << atomName(a);
        return out;
    }

    bool attributes(xcb_window_t w, Attributes *out) const
    {
        if (!conn || !w)
            return false;
        xcb_get_window_attributes_reply_t *r =
            xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, w), nullptr);
        if (!r)
            return false;
        out->viewable = r->map_state == XCB_MAP_STATE_VIEWABLE;
        out->overrideRedirect = r->override_redirect;
        free(r);
        return true;
    }

    // Children bottom to top, and the parent.
    QList<xcb_window_t> children(xcb_window_t w, xcb_window_t *parent = nullptr) const
    {
        QList<xcb_window_t> out;
        if (parent)
            *parent = 0;
        if (!conn || !w)
            return out;
        xcb_query_tree_reply_t *r = xcb_query_tree_reply(conn, xcb_query_tree(conn, w), nullptr);
        if (!r)
            return out;
        const xcb_window_t *c = xcb_query_tree_children(r);
        for (int i = 0; i < xcb_query_tree_children_length(r); ++i)
            out << c[i];
        if (parent)
            *parent = r->parent;
        free(r);
        return out;
    }

    xcb_window_t parentOf(xcb_window_t w) const
    {
        xcb_window_t p = 0;
        children(w, &p);
        return p;
    }

    // Viewable children, bottom to top; attribute requests are pipelined.
    QList<xcb_window_t> viewableChildren(xcb_window_t w) const
    {
        const QList<xcb_window_t> all = children(w);
        std::vector<xcb_get_window_attributes_cookie_t> cookies;
        cookies.reserve(all.size());
        for (xcb_window_t c : all)
            cookies.push_back(xcb_get_window_attributes(conn, c));
        QList<xcb_window_t> out;
        for (qsizetype i = 0; i < all.size(); ++i) {
            xcb_get_window_attributes_reply_t *r = xcb_get_window_attributes_reply(conn, cookies[i], nullptr);
            if (r && r->map_state == XCB_MAP_STATE_VIEWABLE)
                out << all[i];
            free(r);
        }
        return out;
    }

    // Depth-first over viewable windows below `top`.
    void walkViewable(xcb_window_t top, const std::function<void(xcb_window_t)> &visit) const
    {
        for (xcb_window_t c : viewableChildren(top)) {
            visit(c);
            walkViewable(c, visit);
        }
    }

    // The client inside a WM frame, or the window itself.
    xcb_window_t clientOf(xcb_window_t topLevel) const
    {
        if (hasProp(topLevel, "WM_STATE") || hasProp(topLevel, "WM_CLASS"))
            return topLevel;
        QList<xcb_window_t> queue = children(topLevel);
        while (!queue.isEmpty()) {
            const xcb_window_t w = queue.takeFirst();
            if (hasProp(w, "WM_STATE"))
                return w;
            queue += children(w);
        }
        return topLevel;
    }

    QRect geometry(xcb_window_t w) const
    {
        if (!conn || !w)
            return {};
        xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
        xcb_translate_coordinates_reply_t *t =
            xcb_translate_coordinates_reply(conn, xcb_translate_coordinates(conn, w, root, 0, 0), nullptr);
        QRect out;
        if (g && t)
            out = QRect(t->dst_x, t->dst_y, g->width, g->height);
        free(g);
        free(t);
        return out;
    }

    QStringList wmClass(xcb_window_t w) const { return prop(w, "WM_CLASS").strings(); }

    WindowId trayPanel() const
    {
        WindowId found = 0;
        walkViewable(root, [&](xcb_window_t w) {
            if (!found && wmClass(w) == QStringList{QStringLiteral("panel"), QStringLiteral("trayer")})
                found = w;
        });
        return found;
    }

    QString artifactsDir() const
    {
        QString base = qEnvironmentVariable("ZENTYR_E2E_ARTIFACTS");
        if (base.isEmpty())
            base = QDir::tempPath() + QStringLiteral("/zentyr-e2e-artifacts");
        const QString app = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
        return base + QLatin1Char('/') + (app.isEmpty() ? QStringLiteral("e2e") : app);
    }

    // --- start-up ------------------------------------------------------------------------

    // A server started without -displayfd holds /tmp/.XN-lock. Ours use -displayfd, which takes
    // no lock but refuses a live socket and reuses a stale one.
    static bool lockHeld(int n)
    {
        QFile lock(QStringLiteral("/tmp/.X%1-lock").arg(n));
        if (!lock.open(QIODevice::ReadOnly))
            return false;
        const pid_t pid = lock.readAll().trimmed().toInt();
        return pid <= 0 || processAlive(pid); // unreadable: leave it alone
    }

    bool startXvfb()
    {
        bool baseOk = false;
        int base = qEnvironmentVariableIntValue("ZENTYR_E2E_DISPLAY_BASE", &baseOk);
        if (!baseOk || base <= 0)
            base = 300;
        const QSize s = options.screen;
        QStringList tried;
        for (int n = base; n < base + 10; ++n) {
            if (lockHeld(n)) {
                tried << QStringLiteral(":%1 locked").arg(n);
                continue;
            }
            std::unique_ptr<Program> p = spawn(
                tool(QStringLiteral("Xvfb")),
                {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                 QStringLiteral("%1x%2x24").arg(s.width()).arg(s.height()), QStringLiteral("-dpi"),
                 QString::number(options.dpi), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                 // No reset when the last client leaves, and say on stdout when ready.
                 QStringLiteral("-noreset"), QStringLiteral("-displayfd"), QStringLiteral("1")},
                baseEnv);
            const QString want = QString::number(n);
            const bool ready = waitUntil(
                [&] { return p->stdoutText().trimmed() == want || !p->isRunning(); }, options.startTimeoutMs, 20);
            if (ready && p->isRunning()) {
                xvfb = std::move(p);
                display = n;
                break;
            }
            tried << QStringLiteral(":%1 %2").arg(n).arg(ready ? tail(p.get(), 3) : QStringLiteral("timed out"));
            stop(p, 1000);
        }
        if (!xvfb) {
            error = QStringLiteral("no Xvfb display in %1..%2: %3").arg(base).arg(base + 9).arg(tried.join(QStringLiteral("; ")));
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

    bool wmUp() const
    {
        const xcb_window_t check = firstValue(root, "_NET_SUPPORTING_WM_CHECK");
        return check && firstValue(check, "_NET_SUPPORTING_WM_CHECK") == check;
    }

    bool startWindowManager()
    {
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
        wm = spawn(tool(QStringLiteral("openbox")),
                   {QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), rc}, baseEnv);
        if (!waitUntil([&] { return wmUp() || !wm->isRunning(); }, options.startTimeoutMs, 20) || !wmUp()) {
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
    bool wmManagesNewWindows()
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
            options.startTimeoutMs, 20);
        xcb_destroy_window(conn, w);
        xcb_flush(conn);
        return managed;
    }

    bool trayOwned() const
    {
        const xcb_atom_t sel = atom("_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber));
        if (!conn || sel == XCB_ATOM_NONE)
            return false;
        xcb_get_selection_owner_reply_t *r =
            xcb_get_selection_owner_reply(conn, xcb_get_selection_owner(conn, sel), nullptr);
        const bool owned = r && r->owner != XCB_NONE;
        free(r);
        return owned;
    }

    bool startTrayHost()
    {
        tray = spawn(tool(QStringLiteral("trayer")),
                     {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                      QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                      QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--SetDockType"),
                      QStringLiteral("true"), QStringLiteral("--SetPartialStrut"), QStringLiteral("true")},
                     baseEnv);
        auto upNow = [&] { return trayOwned() && trayPanel() != 0; };
        if (!waitUntil([&] { return upNow() || !tray->isRunning(); }, options.startTimeoutMs, 20) || !upNow()) {
            error = QStringLiteral("trayer did not come up (running: %1, selection owned: %2, panel: %3):\n%4")
                        .arg(tray->isRunning() ? "yes" : "no", trayOwned() ? "yes" : "no",
                             trayPanel() ? "mapped" : "not found", tail(tray.get()));
            return false;
        }
        return true;
    }
};

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
    for (const char *v : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER", "WAYLAND_DISPLAY", "XAUTHORITY",
                          "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "QT_SCALE_FACTOR",
                          "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
                          "QT_FONT_DPI", "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "QT_IM_MODULE", "XMODIFIERS",
                          "LANGUAGE", "LC_MESSAGES", "LC_NUMERIC"})
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

    d->up = d->startXvfb() && (!options.windowManager || d->startWindowManager())
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
int Desktop::displayNumber() const { return d->display; }
QSize Desktop::screenSize() const { return d->screenSize; }
QString Desktop::homeDir() const { return d->home; }
QString Desktop::runtimeDir() const { return d->runtime; }

QProcessEnvironment Desktop::environment(const Env &extra) const
{
    QProcessEnvironment env = d->baseEnv;
    for (auto it = extra.cbegin(); it != extra.cend(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    return env;
}

QList<qint64> Desktop::helperPids() const
{
    QList<qint64> out;
    for (const auto *p : {d->xvfb.get(), d->wm.get(), d->tray.get()})
        if (p && p->pid() > 0)
            out << p->pid();
    return out;
}

// --- processes -------------------------------------------------------------------------

Program &Desktop::startProgram(const QStringList &args, const Env &extraEnv)
{
    QString binary = qEnvironmentVariable("ZENTYR_BINARY");
    if (binary.isEmpty())
        binary = QStringLiteral("zentyr-binary-not-set(ZENTYR_BINARY)");
    return startProcess(binary, args, extraEnv);
}

Program &Desktop::startProcess(const QString &executable, const QStringList &args, const Env &extraEnv)
{
    d->programs.push_back(d->spawn(executable, args, environment(extraEnv)));
    return *d->programs.back();
}

RunResult Desktop::run(const QString &command, const QStringList &args, int timeoutMs) const
{
    RunResult r;
    QProcess p;
    p.setProgram(command.contains(QLatin1Char('/')) ? command : tool(command));
    p.setArguments(args);
    p.setProcessEnvironment(d->baseEnv);
    p.setWorkingDirectory(d->home);
    p.setStandardInputFile(QProcess::nullDevice());
    const pid_t parent = ::getpid();
    p.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
    p.start();
    r.started = p.waitForStarted(10000);
    if (!r.started) {
        r.err = p.errorString().toUtf8();
        return r;
    }
    if (!p.waitForFinished(std::max(timeoutMs, 0))) {
        r.timedOut = true;
        ::kill(-pid_t(p.processId()), SIGKILL);
        p.kill();
        p.waitForFinished(5000);
    }
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    if (!r.timedOut && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    return r;
}

// --- windows ---------------------------------------------------------------------------

QList<WindowId> Desktop::findWindows(const QString &role, qint64 pid) const
{
    QList<WindowId> out;
    if (!d->conn)
        return out;
    d->walkViewable(d->root, [&](xcb_window_t w) {
        if (d->prop(w, "WM_WINDOW_ROLE").text() != role)
            return;
        if (pid > 0 && qint64(d->firstValue(w, "_NET_WM_PID")) != pid)
            return;
        out << w;
    });
    return out;
}

WindowId Desktop::waitForWindow(const QString &role, int timeoutMs, qint64 pid) const
{
    WindowId found = 0;
    waitUntil(
        [&] {
            const QList<WindowId> w = findWindows(role, pid);
            found = w.isEmpty() ? 0 : w.first();
            return found != 0;
        },
        timeoutMs);
    return found;
}

bool Desktop::waitForNoWindow(const QString &role, int timeoutMs, qint64 pid) const
{
    return waitUntil([&] { return findWindows(role, pid).isEmpty(); }, timeoutMs);
}

QList<WindowId> Desktop::topLevelWindows() const
{
    QList<WindowId> out;
    if (!d->conn)
        return out;
    for (xcb_window_t w : d->viewableChildren(d->root))
        out << d->clientOf(w);
    return out;
}

bool Desktop::isAbove(WindowId upper, WindowId lower) const
{
    const QList<WindowId> order = topLevelWindows();
    const qsizetype u = order.indexOf(upper), l = order.indexOf(lower);
    return u >= 0 && l >= 0 && u > l;
}

bool Desktop::exists(WindowId w) const
{
    Attributes a;
    return d->attributes(w, &a);
}

bool Desktop::isViewable(WindowId w) const
{
    Attributes a;
    return d->attributes(w, &a) && a.viewable;
}

bool Desktop::isOverrideRedirect(WindowId w) const
{
    Attributes a;
    return d->attributes(w, &a) && a.overrideRedirect;
}

QRect Desktop::geometry(WindowId w) const { return d->geometry(w); }

QRect Desktop::frameGeometry(WindowId w) const
{
    if (!d->conn || !w)
        return {};
    xcb_window_t top = w;
    for (int depth = 0; depth < 32; ++depth) {
        const xcb_window_t parent = d->parentOf(top);
        if (!parent)
            return {};
        if (parent == d->root)
            break;
        top = parent;
    }
    xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(d->conn, xcb_get_geometry(d->conn, top), nullptr);
    QRect out;
    if (g)
        out = QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
    free(g);
    return out;
}

QRect Desktop::waitForStableGeometry(WindowId w, int stableMs, int timeoutMs) const
{
    QRect last = geometry(w);
    QElapsedTimer sinceChange;
    sinceChange.start();
    waitUntil(
        [&] {
            const QRect now = geometry(w);
            if (now != last) {
                last = now;
                sinceChange.restart();
            }
            return !last.isNull() && sinceChange.elapsed() >= stableMs;
        },
        timeoutMs, 25);
    return last;
}

XProperty Desktop::property(WindowId w, const QString &name) const { return d->prop(w, name.toLatin1()); }
QStringList Desktop::netWmState(WindowId w) const { return d->atomList(w, "_NET_WM_STATE"); }
QStringList Desktop::windowTypes(WindowId w) const { return d->atomList(w, "_NET_WM_WINDOW_TYPE"); }
QString Desktop::windowRole(WindowId w) const { return d->prop(w, "WM_WINDOW_ROLE").text(); }
QStringList Desktop::wmClass(WindowId w) const { return d->wmClass(w); }

QString Desktop::windowTitle(WindowId w) const
{
    const XProperty net = d->prop(w, "_NET_WM_NAME");
    return net.exists ? net.text() : d->prop(w, "WM_NAME").text();
}

qint64 Desktop::windowPid(WindowId w) const { return d->firstValue(w, "_NET_WM_PID"); }
WindowId Desktop::activeWindow() const { return d->firstValue(d->root, "_NET_ACTIVE_WINDOW"); }

WindowId Desktop::focusedWindow() const
{
    if (!d->conn)
        return 0;
    xcb_get_input_focus_reply_t *r = xcb_get_input_focus_reply(d->conn, xcb_get_input_focus(d->conn), nullptr);
    xcb_window_t w = r ? r->focus : XCB_NONE;
    free(r);
    if (w == XCB_NONE || w == XCB_INPUT_FOCUS_POINTER_ROOT || w == d->root)
        return 0;
    // Focus may sit on a child of the top-level (e.g. a native child widget).
    for (int depth = 0; depth < 32; ++depth) {
        if (d->hasProp(w, "WM_STATE"))
            return w;
        const xcb_window_t parent = d->parentOf(w);
        if (!parent || parent == d->root)
            return w;
        w = parent;
    }
    return w;
}

QString Desktop::describeWindows() const
{
    QStringList lines;
    for (WindowId w : topLevelWindows()) {
        const QRect g = geometry(w);
        lines << QStringLiteral("%1 role=%2 class=%3 title=\"%4\" geometry=%5,%6 %7x%8 frame=%9 %10type=%11 state=%12 pid=%13")
                     .arg(hex(w), windowRole(w), wmClass(w).join(QLatin1Char('/')), windowTitle(w))
                     .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())
                     .arg(frameGeometry(w) == g ? QStringLiteral("same") : QStringLiteral("%1,%2 %3x%4")
                              .arg(frameGeometry(w).x()).arg(frameGeometry(w).y())
                              .arg(frameGeometry(w).width()).arg(frameGeometry(w).height()))
                     .arg(isOverrideRedirect(w) ? QStringLiteral("override-redirect ") : QString())
                     .arg(windowTypes(w).join(QLatin1Char(',')), netWmState(w).join(QLatin1Char(',')))
                     .arg(windowPid(w));
    }
    lines << QStringLiteral("active=%1 focus=%2 pointer=%3,%4")
                 .arg(hex(activeWindow()), hex(focusedWindow()))
                 .arg(cursorPos().x()).arg(cursorPos().y());
    return lines.join(QLatin1Char('\n'));
}

// --- window manager and tray -----------------------------------------------------------

bool Desktop::windowManagerRunning() const { return d->conn && d->wmUp(); }

QString Desktop::windowManagerName() const
{
    if (!windowManagerRunning())
        return {};
    return d->prop(d->firstValue(d->root, "_NET_SUPPORTING_WM_CHECK"), "_NET_WM_NAME").text();
}

bool Desktop::trayHostRunning() const { return d->trayOwned(); }

WindowId Desktop::trayPanel() const { return d->conn ? d->trayPanel() : 0; }

QList<WindowId> Desktop::trayIconWindows() const
{
    QList<WindowId> out;
    const WindowId panel = trayPanel();
    if (!panel)
        return out;
    d->walkViewable(panel, [&](xcb_window_t w) {
        if (d->hasProp(w, "_XEMBED_INFO"))
            out << w;
    });
    std::sort(out.begin(), out.end(), [&](WindowId a, WindowId b) { return geometry(a).x() < geometry(b).x(); });
    return out;
}

WindowId Desktop::waitForTrayIcon(int timeoutMs) const
{
    WindowId icon = 0;
    QRect previous;
    waitUntil(
        [&] {
            const QList<WindowId> icons = trayIconWindows();
            icon = icons.isEmpty() ? 0 : icons.first();
            const QRect g = geometry(icon);
            const bool placed = icon && g.width() >= 2 && g.height() >= 2
                && geometry(trayPanel()).contains(g);
            const bool stable = placed && g == previous;
            previous = g;
            return stable;
        },
        timeoutMs, 50);
    return previous.width() >= 2 ? icon : 0;
}

QList<WindowId> Desktop::popupMenus(const QString &instance) const
{
    QList<WindowId> out;
    if (!d->conn)
        return out;
    // Qt 6.4 types QMenu windows _NET_WM_WINDOW_TYPE_NORMAL, so rule out the other kinds instead.
    static const QStringList notMenus{QStringLiteral("_NET_WM_WINDOW_TYPE_TOOLTIP"),
                                      QStringLiteral("_NET_WM_WINDOW_TYPE_NOTIFICATION"),
                                      QStringLiteral("_NET_WM_WINDOW_TYPE_DND"),
                                      QStringLiteral("_NET_WM_WINDOW_TYPE_SPLASH")};
    for (xcb_window_t w : d->viewableChildren(d->root)) {
        // Off-screen ones are WM helpers such as openbox's 1x1 check window at -100,-100.
        if (!isOverrideRedirect(w) || !geometry(w).intersects(QRect(QPoint(0, 0), d->screenSize)))
            continue;
        const QStringList types = windowTypes(w);
        if (std::any_of(types.begin(), types.end(), [](const QString &t) { return notMenus.contains(t); }))
            continue;
        if (!instance.isEmpty() && d->wmClass(w).value(0) != instance)
            continue;
        out << w;
    }
    return out;
}

WindowId Desktop::waitForPopupMenu(int timeoutMs, const QString &instance) const
{
    WindowId found = 0;
    waitUntil(
        [&] {
            const QList<WindowId> m = popupMenus(instance);
            found = m.isEmpty() ? 0 : m.last();
            return found != 0;
        },
        timeoutMs);
    return found;
}

bool Desktop::waitForNoPopupMenu(int timeoutMs, const QString &instance) const
{
    return waitUntil([&] { return popupMenus(instance).isEmpty(); }, timeoutMs);
}

bool Desktop::chooseMenuItemByKeys(int index)
{
    if (index < 0)
        return false;
    // An item under the pointer is the current one and Down would start from it: move off the menu,
    // which clears it.
    const QList<WindowId> menus = popupMenus(QString());
    const QRect mg = menus.isEmpty() ? QRect() : geometry(menus.last());
    const QPoint c = cursorPos();
    if (mg.contains(c)) {
        const QRect screen(QPoint(0, 0), d->screenSize);
        for (const QPoint p : {QPoint(mg.left() - 10, c.y()), QPoint(mg.right() + 10, c.y()),
                               QPoint(c.x(), mg.top() - 10), QPoint(c.x(), mg.bottom() + 10)}) {
            if (screen.contains(p)) {
                if (!mouseMove(p))
                    return false;
                QThread::msleep(150);
                break;
            }
        }
    }
    QStringList keys;
    for (int i = 0; i <= index; ++i)
        keys << QStringLiteral("Down");
    keys << QStringLiteral("Return");
    return key(keys.join(QLatin1Char(' ')), 60);
}

// --- input -----------------------------------------------------------------------------

namespace {
QStringList moveArgs(int x, int y)
{
    QStringList a{QStringLiteral("mousemove")};
    if (x < 0 || y < 0)
        a << QStringLiteral("--"); // negative numbers would read as options
    return a << QString::number(x) << QString::number(y);
}

QString seconds(int ms) { return QString::number(std::max(ms, 0) / 1000.0, 'f', 3); }
} // namespace

bool Desktop::mouseMove(int x, int y) { return run(QStringLiteral("xdotool"), moveArgs(x, y)).ok(); }

bool Desktop::mouseDown(int button)
{
    d->beforePress(button);
    const bool ok = run(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QString::number(button)}).ok();
    d->pressed(button);
    return ok;
}

bool Desktop::mouseUp(int button)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QString::number(button)}).ok();
}

bool Desktop::click(int button, int repeat, int delayMs)
{
    d->beforePress(button);
    const bool ok = run(QStringLiteral("xdotool"),
                        {QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(std::max(repeat, 1)),
                         QStringLiteral("--delay"), QString::number(std::max(delayMs, 0)), QString::number(button)})
                        .ok();
    d->pressed(button);
    return ok;
}

bool Desktop::clickAt(QPoint p, int button, int repeat) { return mouseMove(p) && click(button, repeat); }

bool Desktop::drag(QPoint from, QPoint to, int button, int steps, int stepDelayMs)
{
    // One xdotool run keeps the step timing even when the machine is busy.
    steps = std::max(steps, 1);
    const QString b = QString::number(button);
    QStringList a = moveArgs(from.x(), from.y());
    a << QStringLiteral("sleep") << seconds(stepDelayMs) << QStringLiteral("mousedown") << b;
    // Like a real mouse, the first motion is tiny: a program that starts a system move on its
    // first motion event hands the WM the pointer position of that moment, and everything before
    // it is lost. The pause lets even a busy program get there before the big steps.
    QPoint start = from;
    const QPoint delta = to - from;
    const double length = std::hypot(double(delta.x()), double(delta.y()));
    if (length >= 4) {
        start = from + QPoint(qRound(2 * delta.x() / length), qRound(2 * delta.y() / length));
        a << QStringLiteral("sleep") << seconds(stepDelayMs) << moveArgs(start.x(), start.y())
          << QStringLiteral("sleep") << seconds(std::max(stepDelayMs, 150));
    }
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = start + (to - start) * i / steps;
        a << QStringLiteral("sleep") << seconds(stepDelayMs) << moveArgs(p.x(), p.y());
    }
    a << QStringLiteral("sleep") << seconds(stepDelayMs) << QStringLiteral("mouseup") << b;
    d->beforePress(button);
    const bool ok = run(QStringLiteral("xdotool"), a, 10000 + steps * (stepDelayMs + 50)).ok();
    d->pressed(button);
    return ok;
}

bool Desktop::key(const QString &keys, int delayMs)
{
    QStringList a{QStringLiteral("key"), QStringLiteral("--delay"), QString::number(std::max(delayMs, 0))};
    a += keys.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    return a.size() > 3 && run(QStringLiteral("xdotool"), a).ok();
}

bool Desktop::keyDown(const QString &k) { return run(QStringLiteral("xdotool"), {QStringLiteral("keydown"), k}).ok(); }
bool Desktop::keyUp(const QString &k) { return run(QStringLiteral("xdotool"), {QStringLiteral("keyup"), k}).ok(); }

bool Desktop::type(const QString &text, int delayMs)
{
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(std::max(delayMs, 0)),
                QStringLiteral("--"), text},
               10000 + int(text.size()) * (delayMs + 50))
        .ok();
}

QPoint Desktop::cursorPos() const
{
    if (!d->conn)
        return {};
    xcb_query_pointer_reply_t *r = xcb_query_pointer_reply(d->conn, xcb_query_pointer(d->conn, d->root), nullptr);
    const QPoint p = r ? QPoint(r->root_x, r->root_y) : QPoint();
    free(r);
    return p;
}

// --- screenshots -----------------------------------------------------------------------

QImage Desktop::screenshot() const
{
    if (!d->conn)
        return {};
    const QSize s = d->screenSize;
    xcb_get_image_reply_t *r = xcb_get_image_reply(
        d->conn,
        xcb_get_image(d->conn, XCB_IMAGE_FORMAT_Z_PIXMAP, d->root, 0, 0, s.width(), s.height(), ~0u), nullptr);
    QImage out;
    const xcb_setup_t *setup = xcb_get_setup(d->conn);
    // Xvfb at depth 24 stores 32-bit little-endian xRGB, which is QImage::Format_RGB32.
    if (r && r->depth == 24 && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST
        && xcb_get_image_data_length(r) == s.width() * s.height() * 4) {
        out = QImage(xcb_get_image_data(r), s.width(), s.height(), s.width() * 4, QImage::Format_RGB32).copy();
    } else {
        qWarning("e2e: unexpected root image format (depth %d)", r ? r->depth : -1);
    }
    free(r);
    return out;
}

QImage Desktop::grabWindow(WindowId w) const
{
    const QRect g = geometry(w).intersected(QRect(QPoint(0, 0), d->screenSize));
    if (g.isEmpty())
        return {};
    return screenshot().copy(g);
}

QString Desktop::saveArtifact(const QImage &image, const QString &name) const
{
    const QString dir = d->artifactsDir();
    if (!QDir().mkpath(dir))
        return {};
    QString file = name;
    file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    if (!file.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        file += QStringLiteral(".png");
    const QString path = dir + QLatin1Char('/') + file;
    return image.save(path, "PNG") ? path : QString();
}

QString Desktop::saveDiagnostics(const QString &name) const
{
    QString sub = name;
    sub.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    const QString dir = d->artifactsDir() + QLatin1Char('/') + sub;
    if (!QDir().mkpath(dir))
        return {};
    if (d->conn)
        screenshot().save(dir + QStringLiteral("/screen.png"), "PNG");
    QFile f(dir + QStringLiteral("/windows.txt"));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(QStringLiteral("display %1 wm=%2 tray=%3\nerror: %4\n")
                    .arg(display(), windowManagerName(), trayHostRunning() ? QStringLiteral("up") : QStringLiteral("down"),
                         d->error)
                    .toUtf8());
        f.write(describeWindows().toUtf8());
        f.write("\n\nprocesses:\n");
        for (const auto *p : {d->xvfb.get(), d->wm.get(), d->tray.get()})
            if (p)
                f.write((p->commandLine() + QLatin1Char('\n')).toUtf8());
        for (const auto &p : d->programs)
            f.write(QStringLiteral("%1 (pid %2, exit %3)\n").arg(p->commandLine()).arg(p->pid()).arg(p->exitCode()).toUtf8());
    }
    if (d->conn) {
        const RunResult tree = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        QFile t(dir + QStringLiteral("/xwininfo-tree.txt"));
        if (t.open(QIODevice::WriteOnly))
            t.write(tree.out + tree.err);
    }
    for (const QFileInfo &log : QDir(d->logs).entryInfoList(QDir::Files)) {
        QFile::remove(dir + QLatin1Char('/') + log.fileName());
        QFile::copy(log.filePath(), dir + QLatin1Char('/') + log.fileName());
    }
    return dir;
}

} // namespace e2e

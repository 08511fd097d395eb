// SPDX-License-Identifier: MIT
// End-to-end harness: a private X desktop (Xvfb, optionally openbox and trayer),
// the program under test started inside it, and ways to look at and drive it.
//
// Queries go straight to the X server over xcb; input goes through xdotool (XTEST).
// Everything a Desktop starts runs in its own process group with PR_SET_PDEATHSIG, so a
// crashed or timed-out test process leaves no X server behind; the next Desktop removes the
// temporary directory such a process left.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace e2e {

using WindowId = quint32;

// Extra environment for a started process; a null value removes the variable.
using Env = QMap<QString, QString>;

// Polls `condition` (processing Qt events in between) until it is true or `timeoutMs` passed.
// Returns the last result of `condition`, which is always evaluated once more at the deadline.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs = 50);

// Pixel helpers. Tolerance is the largest allowed difference of any of R, G, B (alpha ignored).
QColor colorAt(const QImage &image, int x, int y); // invalid outside the image
QColor colorAt(const QImage &image, QPoint p);
bool colorsClose(const QColor &a, const QColor &b, int tolerance = 0);
int countColor(const QImage &image, const QRect &area, const QColor &color, int tolerance = 0);

struct RunResult {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1; // -1 unless the command exited normally
    QByteArray out;
    QByteArray err;
    bool ok() const { return started && !timedOut && exitCode == 0; }
};

// The desktop is a 1280x800 screen at 96 dpi unless the options say otherwise.
struct DesktopOptions {
    // openbox --sm-disable with a minimal private config (no edge resistance, one desktop, click
    // focuses and raises, Alt+F4 closes). It counts as up once it has managed a window of ours:
    // openbox announces itself early and loses windows mapped before it is ready.
    bool windowManager = true;
    // With windowManager: i3 with its stock config (and its bar's own tray) instead of openbox.
    bool i3 = false;
    bool trayHost = true; // trayer docked at the top right, 24 px high
    QSize screen{1280, 800};
    // Monitors on the one screen (xrandr --setmonitor, RandR 1.5), in desktop pixels; the
    // one at primaryMonitor holds the screen's output and is the primary. Empty: one monitor.
    QList<QRect> monitors;
    int primaryMonitor = 0;
    // The size each of those monitors reports; 96 dpi for those not given.
    QList<QSize> monitorMillimetres;
};

// A process started by a Desktop. Owned by the Desktop, which kills it when it goes away.
// stdout and stderr go to files, so a chatty program never blocks on a full pipe.
class Program {
public:
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    qint64 pid() const;
    bool isRunning() const;
    // True once the process has exited (at once if it already has).
    bool waitForExit(int timeoutMs);
    // Exit code of a normal exit; -1 while running, when it never started or when a signal ended it.
    int exitCode() const;
    void terminate(); // SIGTERM to its process group
    QString stdoutText() const;
    QString stderrText() const;

private:
    friend class Desktop;
    Program();
    void kill(); // SIGKILL to its process group, then reaps it
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The program's pop-up menus: the four rulers' and the tray icon's.
enum class Menu { StandardRuler, MetricRuler, VerticalRuler, AngleRuler, Tray };

class Desktop {
public:
    explicit Desktop(const DesktopOptions &options = {});
    ~Desktop();
    Desktop(const Desktop &) = delete;
    Desktop &operator=(const Desktop &) = delete;

    // False when anything the options asked for did not come up; error() says what and why.
    bool ok() const;
    QString error() const;

    QString display() const; // ":N"
    QSize screenSize() const;
    QString homeDir() const; // HOME of started processes, inside this desktop's temporary directory

    // --- processes (desktop_process.cpp) --------------------------------------------------
    // The program under test: the executable named by ZENTYR_BINARY (if unset, the start fails
    // and stderrText() says so).
    Program &startProgram(const QStringList &args = {}, const Env &extraEnv = {});
    // Starts the program and waits for its standard ruler, placed by the window manager and still;
    // *placed gets its geometry. 0 when no ruler came.
    WindowId startProgramAndRuler(QRect *placed);
    Program &startProcess(const QString &executable, const QStringList &args = {}, const Env &extraEnv = {});
    // Runs a command to completion in this desktop's environment; killed after timeoutMs.
    RunResult run(const QString &command, const QStringList &args = {}, int timeoutMs = 10000) const;

    // --- windows (desktop_x11.cpp) -------------------------------------------------------
    // Viewable (mapped, with mapped ancestors) windows whose WM_WINDOW_ROLE is `role`,
    // optionally only those whose _NET_WM_PID is `pid`.
    QList<WindowId> findWindows(const QString &role, qint64 pid = 0) const;
    // First such window, or 0 on timeout.
    WindowId waitForWindow(const QString &role, int timeoutMs = 10000, qint64 pid = 0) const;
    bool waitForNoWindow(const QString &role, int timeoutMs = 10000, qint64 pid = 0) const;
    // The topmost top-level window titled `title`, or 0 on timeout.
    WindowId waitForTitled(const QString &title, int timeoutMs) const;
    // Viewable top-level windows, bottom to top. A WM frame is replaced by the client in it.
    QList<WindowId> topLevelWindows() const;
    // Whether `upper` is stacked above `lower` among topLevelWindows().
    bool isAbove(WindowId upper, WindowId lower) const;

    bool isOverrideRedirect(WindowId w) const;
    // The client window itself in root coordinates (not the WM frame); null QRect if it is gone.
    QRect geometry(WindowId w) const;
    // The WM frame around the client (same as geometry() when there is none).
    QRect frameGeometry(WindowId w) const;
    // Geometry once it has stayed the same for stableMs; the last value seen on timeout.
    QRect waitForStableGeometry(WindowId w, int stableMs = 300, int timeoutMs = 5000) const;
    QStringList netWmState(WindowId w) const;  // atom names, e.g. "_NET_WM_STATE_ABOVE"
    QStringList windowTypes(WindowId w) const; // _NET_WM_WINDOW_TYPE atom names
    QString windowTitle(WindowId w) const;     // _NET_WM_NAME, else WM_NAME
    qint64 windowPid(WindowId w) const;        // _NET_WM_PID, 0 if unset
    // The window holding X input focus, moved up to its top-level client; 0 if none.
    WindowId focusedWindow() const;
    // One line per top-level window, for failure messages.
    QString describeWindows() const;

    // Viewable XEmbed client windows inside trayer's panel: the tray icons, left to right.
    // Seen with Qt 6.4: left press gives Trigger, click(1, 2) Trigger then DoubleClick, right press
    // opens the context menu and gives Context; the right release leaves the menu open.
    QList<WindowId> trayIconWindows() const;
    // First tray icon once it sits inside the panel with a stable size >= 2x2; 0 on timeout.
    WindowId waitForTrayIcon(int timeoutMs = 10000) const;

    // Popup windows: viewable, on-screen, override-redirect top-levels whose WM_CLASS instance is
    // `instance` (any if empty), except tooltips, notifications, splashes and drag icons.
    // Qt 6.4 types QMenu windows _NET_WM_WINDOW_TYPE_NORMAL, so the type cannot single out menus.
    // Topmost last.
    QList<WindowId> popupMenus(const QString &instance = QStringLiteral("zentyr")) const;
    WindowId waitForPopupMenu(int timeoutMs = 5000, const QString &instance = QStringLiteral("zentyr")) const;
    bool waitForNoPopupMenu(int timeoutMs = 5000, const QString &instance = QStringLiteral("zentyr")) const;

    // --- input through xdotool (desktop_input.cpp) ---------------------------------------
    // Qt turns a press of the same button within 400 ms of the previous one into a double-click,
    // so mouseDown(), click() and drag() first wait until 500 ms have passed since the last press
    // of that button. click(b, 2) is the way to double-click.
    bool mouseMove(int x, int y);
    bool mouseMove(QPoint p) { return mouseMove(p.x(), p.y()); }
    bool mouseDown(int button = 1);
    bool mouseUp(int button = 1);
    bool click(int button = 1, int repeat = 1, int delayMs = 80);
    bool clickAt(QPoint p, int button = 1, int repeat = 1);
    // Move to `from`, press, a 2 px nudge toward `to` followed by a 150 ms pause, then `steps`
    // moves stepDelayMs apart ending at `to`, release. A window that starts a system move on its
    // first motion therefore moves by (to - from) less about 2 px.
    bool drag(QPoint from, QPoint to, int button = 1, int steps = 10, int stepDelayMs = 40);
    // xdotool key names, space separated for a sequence: "Escape", "ctrl+q", "Down Down Return".
    bool key(const QString &keys, int delayMs = 40);
    bool type(const QString &text, int delayMs = 30);
    // Triggers the index-th keyboard-selectable item (visible, enabled, not a separator) of the
    // open QMenu: Down index+1 times, then Return. Seen with Qt 6.4 (Fusion): with no current item
    // the first Down selects the first selectable item, Up the last; Down skips separators and
    // disabled items and wraps around; Home/End do nothing; Return with no current item does
    // nothing. The item under the pointer is current, so if the pointer is on the topmost menu it
    // is first moved 10 px off it (which clears the current item).
    bool chooseMenuItemByKeys(int index);
    // The open menu's item with this caption, chosen by keys, as the user sees the program's menus.
    bool chooseMenuItem(Menu menu, const QString &caption);
    // Right-clicks at p, waits for the pop-up menu and chooses its item with this caption.
    bool chooseFromMenuAt(QPoint p, Menu menu, const QString &caption);

    // --- screenshots and artifacts (desktop_pixels.cpp) ----------------------------------
    QImage screenshot() const;           // the whole root window, Format_RGB32
    QImage grabWindow(WindowId w) const; // screenshot() cropped to geometry(w) on screen
    // Writes a PNG to $ZENTYR_E2E_ARTIFACTS/<test executable>/<name>.png; returns the path or "".
    QString saveArtifact(const QImage &image, const QString &name) const;
    // Screenshot, window list and every log of this desktop into artifacts; returns the folder.
    QString saveDiagnostics(const QString &name) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// What a screen reader gets on a desktop (desktop_a11y.cpp): a private session bus with the
// accessibility bus (AT-SPI) on it, and a listener there that stays, as a program sends its events
// only while something listens. Start the program with env().
class ScreenReader {
public:
    explicit ScreenReader(Desktop &desktop);
    ~ScreenReader();
    ScreenReader(const ScreenReader &) = delete;
    ScreenReader &operator=(const ScreenReader &) = delete;

    bool ok() const;
    Env env() const;
    // Each object that has sent an event so far, as it is now: "name | role | description".
    QStringList announced() const;
    // The names of every program's top-level objects on the bus: what a screen reader lists.
    QStringList topLevelNames() const;

private:
    Desktop &m_desktop;
    QString m_session;            // the session bus's address
    QString m_bus;                // the accessibility bus's address, once it is up
    Program *m_monitor = nullptr; // the events, as dbus-monitor prints them
};

} // namespace e2e

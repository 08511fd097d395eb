// SPDX-License-Identifier: MIT
// Internals of the harness, shared by the desktop*.cpp files.
#pragma once

#include "desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <vector>

namespace e2e {

// The distribution's copy of a tool: another `convert`/`import` and friends can come first on PATH.
QString tool(const QString &name);
// True for a live process; a zombie (orphans are not always reaped here) is not.
bool processAlive(qint64 pid);
QString hex(WindowId w);

struct Program::Impl {
    QProcess proc;
    QString outPath;
    QString errPath;
    QString commandLine;
    qint64 pid = 0;
    bool started = false;
    QString startError;
};

// Raw contents of a window property.
struct XProperty {
    bool exists = false;
    QString type;   // atom name of the property's type, e.g. "ATOM", "UTF8_STRING", "CARDINAL"
    int format = 0; // 8, 16 or 32
    QByteArray data;
    QStringList strings() const;   // format 8, NUL-separated list
    QString text() const;          // first of strings()
    QList<quint32> values() const; // format 32 items (CARDINAL, WINDOW, ATOM ...)
};

inline constexpr char kTempPrefix[] = "zentyr-e2e-";

struct Desktop::Impl {
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
    mutable QHash<QByteArray, xcb_atom_t> atomCache;
    mutable QHash<xcb_atom_t, QString> nameCache;

    std::unique_ptr<Program> xvfb, wm, tray;
    std::vector<std::unique_ptr<Program>> programs;
    int spawned = 0;

    // Qt merges two presses of one button within its double-click interval (400 ms) into a
    // double-click, so a new press waits until this much time has passed since the last one.
    static constexpr int kClickGapMs = 500;
    QElapsedTimer lastPress;
    int lastPressButton = 0;

    // Start-up (desktop.cpp).
    bool startXvfb();
    bool splitMonitors();
    bool startWindowManager();
    bool wmManagesNewWindows();
    bool startTrayHost();

    // Processes (desktop_process.cpp).
    std::unique_ptr<Program> spawn(const QString &executable, const QStringList &args, const QProcessEnvironment &env);
    static void stop(std::unique_ptr<Program> &p, int graceMs);
    void sweepLeftovers() const;
    static QString tail(const Program *p, int lines = 15); // the end of its stderr

    // X queries (desktop_x11.cpp).
    xcb_atom_t atom(const QByteArray &name) const;
    QString atomName(xcb_atom_t a) const;
    XProperty prop(xcb_window_t w, const QByteArray &name) const;
    bool hasProp(xcb_window_t w, const QByteArray &name) const { return prop(w, name).exists; }
    quint32 firstValue(xcb_window_t w, const QByteArray &name) const;
    QStringList atomList(xcb_window_t w, const QByteArray &name) const;
    QStringList wmClass(xcb_window_t w) const { return prop(w, "WM_CLASS").strings(); }
    // Children bottom to top, and the parent.
    QList<xcb_window_t> children(xcb_window_t w, xcb_window_t *parent = nullptr) const;
    xcb_window_t parentOf(xcb_window_t w) const;
    QList<xcb_window_t> viewableChildren(xcb_window_t w) const;
    // Depth-first over viewable windows below `top`.
    void walkViewable(xcb_window_t top, const std::function<void(xcb_window_t)> &visit) const;
    // The client inside a WM frame, or the window itself.
    xcb_window_t clientOf(xcb_window_t topLevel) const;
    QRect geometry(xcb_window_t w) const;
    bool wmUp() const; // a valid _NET_SUPPORTING_WM_CHECK chain
    QString wmName() const;
    bool trayOwned() const;     // _NET_SYSTEM_TRAY_S<screen> has an owner
    WindowId trayPanel() const; // trayer's panel window (WM_CLASS "panel", "trayer")
    QPoint cursorPos() const;

    // Input (desktop_input.cpp).
    void beforePress(int button);
    void pressed(int button);

    // Artifacts (desktop_pixels.cpp).
    QString artifactsDir() const;
};

} // namespace e2e

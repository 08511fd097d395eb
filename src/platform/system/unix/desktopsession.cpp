// SPDX-License-Identifier: MIT
// Wayland compositors and XWayland on Unix desktops: masks, and where the tray's menu belongs.
#include "platform/system/desktopsession.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <mutex>
#include <utility>

#ifdef ZENTYR_HAVE_DBUS
#include <QDBusMessage>
#include <dlfcn.h>
#endif

namespace zentyr {

// XWayland names its outputs XWAYLAND0, XWAYLAND1, ... (it has no extension of its own to ask
// before version 23). Under GNOME and KDE it cuts windows too, and there a translucent window
// looks the same, so no compositor needs telling apart.
bool onXwayland()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    return std::ranges::any_of(QGuiApplication::screens(),
                               [](const QScreen *s) { return s->name().startsWith(QLatin1String("XWAYLAND")); });
}

bool windowSystemCutsMasks()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && !onXwayland();
}

namespace {

// The last menu request, noted on D-Bus's thread and taken on the program's.
std::mutex g_menuLock;
QPoint g_menuAt;
QElapsedTimer g_menuSince;

#ifdef ZENTYR_HAVE_DBUS
// Qt's status-notifier item answers ContextMenu(x, y) with a plain Context activation and drops
// the point; the call itself still passes here first.
void noteMenuRequest(const QDBusMessage &call)
{
    if (call.type() != QDBusMessage::MethodCallMessage || call.member() != QLatin1String("ContextMenu")
        || !call.interface().endsWith(QLatin1String("StatusNotifierItem")))
        return;
    const QList<QVariant> args = call.arguments();
    if (args.size() != 2)
        return;
    const std::lock_guard<std::mutex> hold(g_menuLock);
    g_menuAt = QPoint(args[0].toInt(), args[1].toInt());
    g_menuSince.start();
}
#endif

} // namespace

void watchTrayMenuRequests()
{
#ifdef ZENTYR_HAVE_DBUS
    static bool watching = false; // a hook added twice would see each call twice
    if (std::exchange(watching, true))
        return;
    // QtDBus lets a program see each incoming call before it is delivered (Qt's own tests use
    // it). Looked up as the program runs: a Qt without it costs only the menu's place.
    using Spy = void (*)(const QDBusMessage &);
    if (auto addSpy = reinterpret_cast<void (*)(Spy)>(dlsym(RTLD_DEFAULT, "_Z15qDBusAddSpyHookPFvRK12QDBusMessageE")))
        addSpy(noteMenuRequest);
#endif
}

std::optional<QPoint> takeTrayMenuPoint()
{
    const std::lock_guard<std::mutex> hold(g_menuLock);
    // The activation follows the call at once; an old point belongs to a menu that never opened.
    if (!g_menuSince.isValid() || g_menuSince.elapsed() > 2000)
        return std::nullopt;
    g_menuSince.invalidate();
    // A native Wayland window cannot be placed on the screen, so the point means nothing there.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    // The host counts in the display's pixels, Qt in its own (QT_SCALE_FACTOR).
    const qreal scale = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->devicePixelRatio() : 1.0;
    return (QPointF(g_menuAt) / scale).toPoint();
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
// Wayland compositors and XWayland on Unix desktops: masks, and where the tray's menu belongs.
#include "platform/system/desktopsession.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <mutex>

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
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [](const QScreen *s) { return s->name().startsWith(QLatin1String("XWAYLAND")); });
}

bool windowSystemCutsMasks()
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        return false;
    return !onXwayland();
}

namespace {

struct MenuRequest {
    std::mutex lock;
    QPoint at;
    QElapsedTimer since;
};

MenuRequest &menuRequest()
{
    static MenuRequest request;
    return request;
}

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
    MenuRequest &r = menuRequest();
    const std::lock_guard<std::mutex> hold(r.lock);
    r.at = QPoint(args[0].toInt(), args[1].toInt());
    r.since.start();
}
#endif

} // namespace

void watchTrayMenuRequests()
{
#ifdef ZENTYR_HAVE_DBUS
    static const bool watching = [] {
        // QtDBus lets a program see each incoming call before it is delivered (Qt's own tests use
        // it). Looked up as the program runs: a Qt without it costs only the menu's place.
        using Spy = void (*)(const QDBusMessage &);
        auto addSpy = reinterpret_cast<void (*)(Spy)>(dlsym(RTLD_DEFAULT, "_Z15qDBusAddSpyHookPFvRK12QDBusMessageE"));
        if (addSpy)
            addSpy(noteMenuRequest);
        return addSpy != nullptr;
    }();
    Q_UNUSED(watching);
#endif
}

std::optional<QPoint> takeTrayMenuPoint()
{
    MenuRequest &r = menuRequest();
    const std::lock_guard<std::mutex> hold(r.lock);
    // The activation follows the call at once; an old point belongs to a menu that never opened.
    if (!r.since.isValid() || r.since.elapsed() > 2000)
        return std::nullopt;
    r.since.invalidate();
    // A native Wayland window cannot be placed on the screen, so the point means nothing there.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    // The host counts in the display's pixels, Qt in its own (QT_SCALE_FACTOR).
    const qreal scale = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->devicePixelRatio() : 1.0;
    return (QPointF(r.at) / scale).toPoint();
}

} // namespace zentyr

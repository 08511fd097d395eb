// SPDX-License-Identifier: MIT
// Whether a notification area exists on a Unix desktop: an XEmbed tray or a status-notifier host.
#include "platform/system/tray.h"
#include "platform/system/unix/x11.h"

#ifdef ZENTYR_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#endif

namespace zentyr {

namespace {

#ifdef ZENTYR_HAVE_XCB
// An XEmbed notification area: the owner of the screen's system-tray selection.
bool xembedTrayExists()
{
    xcb_connection_t *c = x11::connection();
    if (!c)
        return false;
    const QByteArray display = qgetenv("DISPLAY");
    const int dot = display.lastIndexOf('.');
    const int screen = dot > display.lastIndexOf(':') ? display.mid(dot + 1).toInt() : 0;
    const xcb_atom_t selection = x11::atom(c, ("_NET_SYSTEM_TRAY_S" + QByteArray::number(screen)).constData(), true);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t *owner
        = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    return owned;
}
#endif

#ifdef ZENTYR_HAVE_DBUS
// A status-notifier watcher on the session bus with a host registered.
bool statusNotifierHostExists()
{
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(watcher))
        return false;
    QDBusMessage get
        = QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                         QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 1000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}
#endif

} // namespace

// Qt picks the D-Bus or the XEmbed tray once, at its first tray call, and keeps that choice: asked
// before any host exists, it would never use a status-notifier host that starts later. So the
// question is put to the hosts directly, and the icon is made once one answers.
bool notificationAreaExists()
{
#if defined(ZENTYR_HAVE_DBUS) && defined(ZENTYR_HAVE_XCB)
    return xembedTrayExists() || statusNotifierHostExists();
#elif defined(ZENTYR_HAVE_DBUS)
    return statusNotifierHostExists();
#else
    return QSystemTrayIcon::isSystemTrayAvailable();
#endif
}

// Where the program sees no raw input, a status-notifier host reports only its activation.
bool trayReportsDoubleClicks() { return false; }

} // namespace zentyr

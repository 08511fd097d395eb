// SPDX-License-Identifier: MIT
#include "desktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QRegularExpression>

namespace e2e {

ScreenReader::ScreenReader(Desktop &desktop) : m_desktop(desktop)
{
    const QString socket = desktop.homeDir() + "/bus";
    m_session = "unix:path=" + socket;
    desktop.startProcess("/usr/bin/dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=" + m_session});
    if (!waitUntil([&] { return QFile::exists(socket); }, 5000))
        return;
    desktop.startProcess("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"},
                         {{"DBUS_SESSION_BUS_ADDRESS", m_session}});
    QDBusConnection session = QDBusConnection::connectToBus(m_session, "session" + desktop.display());
    const auto getAddress
        = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
    QString bus;
    waitUntil([&] { return !(bus = session.call(getAddress).arguments().value(0).toString()).isEmpty(); }, 5000);
    QDBusConnection::disconnectFromBus("session" + desktop.display());
    QDBusConnection listener = QDBusConnection::connectToBus(bus, "a11y" + desktop.display());
    const QDBusMessage listen = QDBusMessage::createMethodCall("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                                               "org.a11y.atspi.Registry", "RegisterEvent")
        << "object:" << QStringList() << QString();
    if (bus.isEmpty() || listener.call(listen).type() != QDBusMessage::ReplyMessage)
        return;
    m_bus = bus;
    m_monitor = &desktop.startProcess("dbus-monitor", {"--address", bus, "interface='org.a11y.atspi.Event.Object'"});
}

ScreenReader::~ScreenReader() { QDBusConnection::disconnectFromBus("a11y" + m_desktop.display()); }

bool ScreenReader::ok() const { return m_monitor; }

Env ScreenReader::env() const
{
    return {{"DBUS_SESSION_BUS_ADDRESS", m_session}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}};
}

QStringList ScreenReader::announced() const
{
    if (!m_monitor)
        return {};
    QDBusConnection bus("a11y" + m_desktop.display());
    static const QRegularExpression event("sender=(\\S+) .* path=(/org/a11y/atspi/accessible/\\d+);");
    QStringList objects, out;
    for (const auto &m : event.globalMatch(m_monitor->stdoutText())) {
        if (objects.contains(m.captured(1) + m.captured(2)))
            continue;
        objects << m.captured(1) + m.captured(2);
        const auto call = [&](const QString &interface, const QString &method, const QVariantList &args) {
            QDBusMessage message = QDBusMessage::createMethodCall(m.captured(1), m.captured(2), interface, method);
            message.setArguments(args);
            const QDBusMessage reply = bus.call(message);
            if (reply.type() != QDBusMessage::ReplyMessage)
                return QString(); // an object gone since
            const QVariant v = reply.arguments().value(0);
            return v.canConvert<QDBusVariant>() ? v.value<QDBusVariant>().variant().toString() : v.toString();
        };
        const auto property = [&](const QString &name) {
            return call("org.freedesktop.DBus.Properties", "Get", {"org.a11y.atspi.Accessible", name});
        };
        out << property("Name") + " | " + call("org.a11y.atspi.Accessible", "GetRoleName", {}) + " | "
                + property("Description");
    }
    return out;
}

QStringList ScreenReader::topLevelNames() const
{
    static const QRegularExpression child("string \"([^\"]+)\"\\s+object path \"([^\"]+)\"");
    const auto send = [&](const QString &dest, const QString &path, const QStringList &call) {
        return QString::fromUtf8(
            m_desktop.run("dbus-send", QStringList{"--bus=" + m_bus, "--print-reply", "--dest=" + dest, path} + call)
                .out);
    };
    const QString root = "/org/a11y/atspi/accessible/root", children = "org.a11y.atspi.Accessible.GetChildren";
    QStringList names;
    for (const auto &app : child.globalMatch(send("org.a11y.atspi.Registry", root, {children})))
        for (const auto &w : child.globalMatch(send(app.captured(1), root, {children}))) {
            const QString reply
                = send(w.captured(1), w.captured(2),
                       {"org.freedesktop.DBus.Properties.Get", "string:org.a11y.atspi.Accessible", "string:Name"});
            names << QRegularExpression("variant\\s+string \"([^\"]*)\"").match(reply).captured(1);
        }
    return names;
}

} // namespace e2e

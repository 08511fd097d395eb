// SPDX-License-Identifier: MIT
#include "platform/system/unix/sway.h"
#include "platform/system/desktopsession.h"

#include <QGuiApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>
#if ZENTYR_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace zentyr::sway {

namespace {

// A connection to Sway's IPC socket, or -1. A stuck compositor costs at most a second per read,
// never the program.
int connectToSway()
{
    const QByteArray path = qgetenv("SWAYSOCK");
    sockaddr_un address{};
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval second{1, 0};
    if (fd >= 0
        && (::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second) != 0
            || ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}

enum MessageType : uint32_t { RunCommand = 0, GetWorkspaces = 1 };

// Sway's IPC (i3's): "i3-ipc", the payload's length and the message type, in the machine's byte
// order, then the payload. One connection serves the run; it is made again after a failure.
QJsonDocument ask(MessageType type, const QByteArray &payload)
{
    static int fd = -1;
    if (fd < 0 && (fd = connectToSway()) < 0)
        return {};
    const QByteArray magic = "i3-ipc";
    uint32_t header[2] = {static_cast<uint32_t>(payload.size()), type};
    const QByteArray message = magic + QByteArray(reinterpret_cast<const char *>(header), sizeof header) + payload;
    auto receive
        = [](QByteArray &data) { return ::recv(fd, data.data(), size_t(data.size()), MSG_WAITALL) == data.size(); };
    QByteArray reply(magic.size() + qsizetype(sizeof header), '\0');
    if (::send(fd, message.constData(), size_t(message.size()), MSG_NOSIGNAL) == message.size() && receive(reply)) {
        std::memcpy(header, reply.constData() + magic.size(), sizeof header);
        reply.resize(header[0]);
        if (receive(reply))
            return QJsonDocument::fromJson(reply);
    }
    ::close(fd);
    fd = -1;
    return {};
}

// True when Sway ran the command; the answer comes after Sway has acted on it.
bool runCommand(const QString &command)
{
    const QJsonArray results = ask(RunCommand, command.toUtf8()).array();
    return !results.isEmpty() && results.first().toObject().value(QLatin1String("success")).toBool();
}

#if ZENTYR_HAVE_XCB
QPoint centred(const QRect &area, QSize size)
{
    return {area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2};
}

// Where Sway centres a window of that size: the focused workspace, or the whole output for a
// window larger than the workspace.
QRect workspaceFor(const QWidget *w, QSize size)
{
    for (const QJsonValue &workspace : ask(GetWorkspaces, {}).array()) {
        const QJsonObject r = workspace.toObject().value(QLatin1String("rect")).toObject();
        const QRect area(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                         r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
        if (workspace.toObject().value(QLatin1String("focused")).toBool() && size.width() <= area.width()
            && size.height() <= area.height())
            return area;
    }
    const qreal dpr = w->devicePixelRatioF();
    const QRectF screen = w->screen()->geometry();
    return QRectF(screen.topLeft() * dpr, screen.size() * dpr).toRect();
}
#endif

} // namespace

#if ZENTYR_HAVE_XCB
bool placesWindows()
{
    static const bool sway = !qEnvironmentVariableIsEmpty("SWAYSOCK") && onXwayland();
    return sway;
}

// Sway answers every move or resize a mapped window asks for by centring the window on the
// workspace (and centres it when it maps it). An answer that puts one of our windows exactly there,
// away from where Qt last placed it, is that centring: the window goes back to Qt's place and size. Any
// other answer is the user's (a move or resize through Sway) and stands; a drag that ends exactly
// at the centre is put back by the pixel or two Qt's place trails the pointer.
void undoCentring(const xcb_configure_notify_event_t &answer)
{
    static QHash<xcb_window_t, QRect> accepted; // each window's last answer that was no centring
    const QWidget *w = QWidget::find(WId(answer.window));
    if (!w || !w->isWindow() || w->windowType() != Qt::Window || !w->isVisible())
        return;
    // Qt still holds the place and size it asked for (here in the X server's pixels): it learns of
    // this answer only after us.
    const qreal dpr = w->devicePixelRatioF();
    const QRect placed(w->geometry().topLeft() * dpr, w->geometry().size() * dpr);
    const QRect given(answer.x, answer.y, answer.width, answer.height);
    const QRect area = given == placed ? QRect() : workspaceFor(w, given.size());
    if (area.isEmpty() || given.topLeft() != centred(area, given.size())) {
        accepted[answer.window] = given;
        return;
    }
    // Sway may centre an older size than the one asked for last, and Qt may have taken an
    // earlier centring for its own place: then the last place that was not a centring holds.
    const bool placedIsCentring = placed.topLeft() == centred(workspaceFor(w, placed.size()), placed.size());
    const QRect target = placedIsCentring ? accepted.value(answer.window, placed) : placed;
    if (target != given)
        runCommand(QString::asprintf("[id=%u] resize set width %d px height %d px, move absolute position %d %d",
                                     answer.window, target.width(), target.height(), target.x(), target.y()));
}

bool moveWindow(QWidget *window, QPoint topLeft)
{
    if (!placesWindows() || !window->isVisible() || !window->internalWinId())
        return false;
    const QPoint at = topLeft * window->devicePixelRatioF();
    return runCommand(
        QStringLiteral("[id=%1] move absolute position %2 %3").arg(window->internalWinId()).arg(at.x()).arg(at.y()));
}
#endif

void floatNativeWindows()
{
    static const bool done = [] {
        if (qEnvironmentVariableIsEmpty("SWAYSOCK")
            || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            return false;
        // Rules for windows still to come, so they hold from each window's first frame. Qt names
        // a window without a caption after the program.
        const QString ours = QStringLiteral("[pid=%1").arg(QCoreApplication::applicationPid());
        const QString title = QRegularExpression::escape(QGuiApplication::applicationDisplayName());
        return runCommand("for_window " + ours + "] floating enable")
            && runCommand("for_window " + ours + " title=\"^" + title + "$\"] border none");
    }();
    Q_UNUSED(done);
}

} // namespace zentyr::sway

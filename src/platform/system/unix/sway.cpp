// SPDX-License-Identifier: MIT
#include "platform/system/unix/sway.h"
#include "platform/system/desktopsession.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QHash>
#include <QRegularExpression>
#include <QScreen>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#if ZENTYR_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace zentyr::sway {

namespace {

// Sway's IPC (i3's): "i3-ipc", the payload's length and the message type, in the machine's byte
// order, then the payload; RUN_COMMAND is type 0 and answers with a list of results.
class Ipc {
public:
    // True when Sway ran the command; the answer comes after Sway has acted on it.
    bool run(const QByteArray &command)
    {
        const QJsonArray results = ask(RunCommand, command).array();
        return !results.isEmpty() && results.first().toObject().value(QLatin1String("success")).toBool();
    }

    // The rectangle of the focused workspace: where Sway centres a floating window.
    QRect focusedWorkspace()
    {
        for (const QJsonValue &w : ask(GetWorkspaces, {}).array())
            if (w.toObject().value(QLatin1String("focused")).toBool()) {
                const QJsonObject r = w.toObject().value(QLatin1String("rect")).toObject();
                return {r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                        r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt()};
            }
        return {};
    }

private:
    enum Type : uint32_t { RunCommand = 0, GetWorkspaces = 1 };

    QJsonDocument ask(Type type, const QByteArray &payload)
    {
        if (!connected())
            return {};
        const char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
        uint32_t header[2] = {static_cast<uint32_t>(payload.size()), type};
        QByteArray message(magic, sizeof magic);
        message.append(reinterpret_cast<const char *>(header), sizeof header).append(payload);
        QByteArray reply;
        if (!send(message) || !receive(sizeof magic + sizeof header, &reply)) {
            disconnect();
            return {};
        }
        std::memcpy(header, reply.constData() + sizeof magic, sizeof header);
        if (!receive(header[0], &reply)) {
            disconnect();
            return {};
        }
        return QJsonDocument::fromJson(reply);
    }

    bool connected()
    {
        if (m_fd >= 0)
            return true;
        const QByteArray path = qgetenv("SWAYSOCK");
        sockaddr_un address{};
        if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
            return false;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
            disconnect();
        return m_fd >= 0;
    }
    void disconnect()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    bool send(const QByteArray &data) const
    {
        for (qsizetype done = 0; done < data.size();) {
            const ssize_t n = ::send(m_fd, data.constData() + done, size_t(data.size() - done), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }
    // A stuck compositor costs at most a second per read, never the program.
    bool receive(size_t size, QByteArray *data) const
    {
        data->resize(qsizetype(size));
        for (size_t done = 0; done < size;) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 1000) != 1)
                return false;
            const ssize_t n = ::recv(m_fd, data->data() + done, size - done, 0);
            if (n <= 0)
                return false;
            done += size_t(n);
        }
        return true;
    }
    int m_fd = -1;
};

Ipc &ipc()
{
    static Ipc connection;
    return connection;
}

#if ZENTYR_HAVE_XCB
bool moveWindowId(xcb_window_t w, QPoint topLeft)
{
    return ipc().run(QByteArray("[id=") + QByteArray::number(w) + "] move absolute position "
                     + QByteArray::number(topLeft.x()) + " " + QByteArray::number(topLeft.y()));
}

bool placeWindowId(xcb_window_t w, const QRect &r)
{
    return ipc().run(QByteArray("[id=") + QByteArray::number(w) + "] resize set width " + QByteArray::number(r.width())
                     + " px height " + QByteArray::number(r.height()) + " px, move absolute position "
                     + QByteArray::number(r.x()) + " " + QByteArray::number(r.y()));
}

// The window's rectangle as the program last set it, in the X server's pixels.
QRect nativeGeometry(const QWidget *w)
{
    const qreal dpr = w->devicePixelRatioF();
    const QRect g = w->geometry();
    return {QPointF(g.topLeft() * dpr).toPoint(), QSizeF(QSizeF(g.size()) * dpr).toSize()};
}

// Sway answers every move or resize a mapped window asks for by centring the window on the
// workspace (and centres it when it maps it). An answer that puts one of our windows exactly there,
// away from where Qt last placed it, is that centring: the window goes back to Qt's place and size. Any
// other answer is the user's (a move or resize through Sway) and stands; a drag that ends exactly
// at the centre is put back by the pixel or two Qt's place trails the pointer.
class PlacementKeeper final : public QAbstractNativeEventFilter {
public:
    static QPoint centred(const QRect &area, QSize size)
    {
        return {area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2};
    }

    // Where Sway centres a window of that size: the focused workspace, or the whole output for a
    // window larger than the workspace.
    static QRect workspaceFor(const QWidget *w, QSize size)
    {
        const QRect area = ipc().focusedWorkspace();
        if (size.width() <= area.width() && size.height() <= area.height())
            return area;
        const qreal dpr = w->devicePixelRatioF();
        const QRectF screen = w->screen()->geometry();
        return QRectF(screen.topLeft() * dpr, screen.size() * dpr).toRect();
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *ev = static_cast<const xcb_generic_event_t *>(message);
        if ((ev->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY)
            return false;
        const auto *cn = reinterpret_cast<const xcb_configure_notify_event_t *>(ev);
        const QWidget *w = QWidget::find(WId(cn->window));
        if (!w || !w->isWindow() || w->windowType() != Qt::Window || !w->isVisible())
            return false;
        // Qt still holds the place and size it asked for: it learns of this answer only after us.
        const QRect placed = nativeGeometry(w);
        const QPoint at(cn->x, cn->y);
        const QRect answer(at, QSize(cn->width, cn->height));
        const QRect area = answer == placed ? QRect() : workspaceFor(w, answer.size());
        if (area.isEmpty() || at != centred(area, answer.size())) {
            m_accepted[cn->window] = answer;
            return false;
        }
        // Sway may centre an older size than the one asked for last, and Qt may have taken an
        // earlier centring for its own place: then the last place that was not a centring holds.
        const bool placedIsCentring = placed.topLeft() == centred(workspaceFor(w, placed.size()), placed.size());
        const QRect target = placedIsCentring ? m_accepted.value(cn->window, placed) : placed;
        if (target != answer)
            placeWindowId(cn->window, target);
        return false;
    }

private:
    QHash<xcb_window_t, QRect> m_accepted;
};

} // namespace

bool placesWindows()
{
    static const bool sway = !qEnvironmentVariableIsEmpty("SWAYSOCK") && onXwayland();
    return sway;
}

static PlacementKeeper *keeper()
{
    static PlacementKeeper *k = [] {
        if (!placesWindows())
            return static_cast<PlacementKeeper *>(nullptr);
        auto *made = new PlacementKeeper; // lives as long as the connection
        qApp->installNativeEventFilter(made);
        return made;
    }();
    return k;
}

void keepProgramPlacement() { keeper(); }

bool moveWindow(QWidget *window, QPoint topLeft)
{
    if (!placesWindows() || !window->isVisible() || !window->internalWinId())
        return false;
    const auto id = static_cast<xcb_window_t>(window->internalWinId());
    const qreal dpr = window->devicePixelRatioF();
    return moveWindowId(id, QPointF(topLeft * dpr).toPoint());
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
        const QByteArray ours = "[pid=" + QByteArray::number(QCoreApplication::applicationPid()) + "]";
        const QByteArray untitled = "[pid=" + QByteArray::number(QCoreApplication::applicationPid()) + " title=\"^"
            + QRegularExpression::escape(QGuiApplication::applicationDisplayName()).toUtf8() + "$\"]";
        return ipc().run("for_window " + ours + " floating enable")
            && ipc().run("for_window " + untitled + " border none");
    }();
    Q_UNUSED(done);
}

} // namespace zentyr::sway

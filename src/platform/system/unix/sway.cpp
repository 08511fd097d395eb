// SPDX-License-Identifier: MIT
#include "platform/system/unix/sway.h"
#include "platform/system/desktopsession.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QRegularExpression>
#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
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
        if (!connected())
            return false;
        const char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
        uint32_t header[2] = {static_cast<uint32_t>(command.size()), 0};
        QByteArray message(magic, sizeof magic);
        message.append(reinterpret_cast<const char *>(header), sizeof header).append(command);
        QByteArray reply;
        if (!send(message) || !receive(sizeof magic + sizeof header, &reply)) {
            disconnect();
            return false;
        }
        std::memcpy(header, reply.constData() + sizeof magic, sizeof header);
        if (!receive(header[0], &reply)) {
            disconnect();
            return false;
        }
        const QJsonArray results = QJsonDocument::fromJson(reply).array();
        return !results.isEmpty() && results.first().toObject().value(QLatin1String("success")).toBool();
    }

private:
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

// The window's rectangle as the program last set it, in the X server's pixels.
QRect nativeGeometry(const QWidget *w)
{
    const qreal dpr = w->devicePixelRatioF();
    const QRect g = w->geometry();
    return {QPointF(g.topLeft() * dpr).toPoint(), QSizeF(QSizeF(g.size()) * dpr).toSize()};
}

// Where the program put each window as it was shown or last moved or resized, until the X server
// reports it there. What Sway does later on the user's behalf (a move or resize by the mouse)
// stays as it is.
class PlacementKeeper final : public QObject, public QAbstractNativeEventFilter {
public:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if ((e->type() != QEvent::Show && e->type() != QEvent::Hide) || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (!w->isWindow() || w->windowType() != Qt::Window || !w->internalWinId())
            return false;
        const auto id = static_cast<xcb_window_t>(w->internalWinId());
        if (e->type() == QEvent::Hide) {
            m_windows.remove(id);
        } else {
            // Sent before the window is mapped: the place the program chose.
            State &s = m_windows[id];
            s.confirmed = nativeGeometry(w);
            s.expect(s.confirmed.topLeft());
        }
        return false;
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *ev = static_cast<const xcb_generic_event_t *>(message);
        if ((ev->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY)
            return false;
        const auto *cn = reinterpret_cast<const xcb_configure_notify_event_t *>(ev);
        const auto it = m_windows.find(cn->window);
        const QWidget *w = QWidget::find(WId(cn->window));
        if (it == m_windows.end() || !w)
            return false;
        State &s = *it;
        // Qt holds the geometry the program asked for until the server answers: a difference
        // from the last answer is a request of the program's, which Sway answers by centring.
        const QRect asked = nativeGeometry(w);
        if (asked != s.confirmed)
            s.expect(asked.topLeft());
        s.confirmed = QRect(cn->x, cn->y, cn->width, cn->height);
        // Sway centres a window when it maps it, some time after the X server reports it in
        // place; so every answer is checked until one comes in place after a correction (Sway has
        // had its say), or for a few seconds.
        if (!s.since.isValid())
            return false;
        if (s.confirmed.topLeft() == s.intent) {
            if (s.tries > 0)
                s.since.invalidate();
        } else if (s.since.elapsed() > kSettleMs || ++s.tries > 3 || !moveWindowId(cn->window, s.intent)) {
            s.since.invalidate();
        }
        return false;
    }

    // The window is the user's to move from now on (a drag began).
    void release(xcb_window_t w)
    {
        if (const auto it = m_windows.find(w); it != m_windows.end())
            it->since.invalidate();
    }

private:
    static constexpr int kSettleMs = 3000;
    struct State {
        QRect confirmed;
        QPoint intent;
        QElapsedTimer since;
        int tries = 0;
        void expect(QPoint at)
        {
            intent = at;
            since.start();
            tries = 0;
        }
    };
    QHash<xcb_window_t, State> m_windows;
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
        qApp->installEventFilter(made);
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
    if (PlacementKeeper *k = keeper())
        k->release(id);
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

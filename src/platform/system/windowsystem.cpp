#include "platform/system/windowsystem.h"
#include "platform/system/services.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QGuiApplication>
#if ZENTYR_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace zentyr {

#if ZENTYR_HAVE_XCB
static xcb_connection_t *xcbConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

static xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    free(r);
    return a;
}
#endif

void applyNoTaskbar(QWidget *window)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = xcbConnection()) {
        window->winId();
        // Qt merges what is already in _NET_WM_STATE when it maps the window.
        const xcb_window_t w = static_cast<xcb_window_t>(window->winId());
        const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
        const xcb_atom_t atoms[2] = {internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER")};
        xcb_change_property(c, XCB_PROP_MODE_APPEND, w, state, XCB_ATOM_ATOM, 32, 2, atoms);
        xcb_flush(c);
        return;
    }
#endif
    window->setWindowFlag(Qt::Tool, true);
}

void raiseWindow(QWidget *window)
{
    // The offscreen platform has no stacking order (and says so on every call).
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window->raise();
}

void placeTopmost(QWidget *window, const QRect &geometry)
{
    if (!(window->windowFlags() & Qt::WindowStaysOnTopHint))
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->setGeometry(geometry);
    if (!window->isVisible()) {
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
    }
    raiseWindow(window);
}

// The window manager keeps the button release of a move or resize it runs, so Qt
// would go on sending the next clicks to the widget that had the press.
void releaseAfterWindowSystemDrag(QWidget *window)
{
    QWindow *w = window->windowHandle();
    if (!w)
        return;
    const QPointF global = QCursor::pos();
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonRelease, w->mapFromGlobal(global), global,
                                                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

bool startWindowSystemResize(QWidget *window, Qt::Edges edges)
{
    QWindow *w = window->windowHandle();
    if (!w || !w->startSystemResize(edges))
        return false;
    releaseAfterWindowSystemDrag(window);
    return true;
}

namespace {
// Where the left button last went down, so that our own drag keeps the grab point
// under the mouse instead of the point where the first movement was noticed.
class PressTracker : public QObject {
public:
    QPoint lastPress;
    bool valid = false;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
            lastPress = static_cast<QMouseEvent *>(e)->globalPosition().toPoint();
            valid = true;
        }
        return false;
    }
};

PressTracker *pressTracker()
{
    static PressTracker *tracker = [] {
        auto *t = new PressTracker;
        qApp->installEventFilter(t);
        return t;
    }();
    return tracker;
}

QPoint dragGrabPoint()
{
    PressTracker *t = pressTracker();
    return t->valid && (QApplication::mouseButtons() & Qt::LeftButton) ? t->lastPress : QCursor::pos();
}

// Follows the mouse until the left button is released.
class OwnDrag : public QObject {
public:
    OwnDrag(QWidget *window) : m_window(window), m_offset(dragGrabPoint() - window->pos())
    {
        qApp->installEventFilter(this);
    }
    static OwnDrag *current;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseMove) {
            auto *me = static_cast<QMouseEvent *>(e);
            if (!m_window || !(me->buttons() & Qt::LeftButton)) {
                finish();
                return false;
            }
            m_window->move(me->globalPosition().toPoint() - m_offset);
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
            finish();
            return true;
        }
        return false;
    }

private:
    void finish()
    {
        qApp->removeEventFilter(this);
        if (current == this)
            current = nullptr;
        deleteLater();
    }
    QPointer<QWidget> m_window;
    QPoint m_offset;
};
OwnDrag *OwnDrag::current = nullptr;
} // namespace

void beginWindowDrag(QWidget *window)
{
    if (OwnDrag::current)
        return;
    if (services().startSystemMove(window))
        return;
    OwnDrag::current = new OwnDrag(window);
}

bool ownDragActive() { return OwnDrag::current != nullptr; }

void trackMousePresses() { pressTracker(); }

void popupMenu(QMenu *menu)
{
    menu->setActiveAction(nullptr);
    menu->popup(QCursor::pos());
}

static int g_pointer = 0;

void setMousePointer(int code)
{
    if (code == 11) {
        if (QApplication::overrideCursor())
            QApplication::changeOverrideCursor(Qt::WaitCursor);
        else
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    g_pointer = code == 11 ? 11 : 0;
}

int mousePointer() { return g_pointer; }

void doEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void endProcessNow(int code)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = xcbConnection())
        xcb_flush(c);
#endif
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

static std::vector<QIcon> &iconTable()
{
    static std::vector<QIcon> table;
    return table;
}

std::uint32_t iconHandle(const QIcon &icon)
{
    auto &t = iconTable();
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].cacheKey() == icon.cacheKey())
            return static_cast<std::uint32_t>(i + 1);
    t.push_back(icon);
    return static_cast<std::uint32_t>(t.size());
}

QIcon iconFromHandle(std::uint32_t handle)
{
    const auto &t = iconTable();
    return handle >= 1 && handle <= t.size() ? t[handle - 1] : QIcon();
}

} // namespace zentyr

#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

} // namespace zentyr

// SPDX-License-Identifier: MIT
// The window system on Unix desktops: X11 through XCB where the program is built with it and runs
// on xcb; Qt's own calls elsewhere (Wayland, offscreen).
#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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
        const xcb_window_t w = static_cast<xcb_window_t>(window->winId());
        const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
        const xcb_atom_t wanted[2] = {internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER")};
        if (window->windowHandle() && window->windowHandle()->isVisible()) {
            // A mapped window belongs to the window manager: ask it.
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
            xcb_client_message_event_t ev{};
            ev.response_type = XCB_CLIENT_MESSAGE;
            ev.format = 32;
            ev.window = w;
            ev.type = state;
            ev.data.data32[0] = 1; // _NET_WM_STATE_ADD
            ev.data.data32[1] = wanted[0];
            ev.data.data32[2] = wanted[1];
            ev.data.data32[3] = 1; // a normal application
            xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char *>(&ev));
        } else {
            // Before the map the property is ours; Qt merges what is in it when it maps the window.
            std::vector<xcb_atom_t> atoms;
            xcb_get_property_reply_t *r =
                xcb_get_property_reply(c, xcb_get_property(c, 0, w, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
            if (r && r->format == 32) {
                const auto *have = static_cast<const xcb_atom_t *>(xcb_get_property_value(r));
                atoms.assign(have, have + xcb_get_property_value_length(r) / 4);
            }
            free(r);
            for (xcb_atom_t a : wanted)
                if (std::find(atoms.begin(), atoms.end(), a) == atoms.end())
                    atoms.push_back(a);
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, state, XCB_ATOM_ATOM, 32,
                                static_cast<uint32_t>(atoms.size()), atoms.data());
        }
        xcb_flush(c);
        return;
    }
#endif
    if (!(window->windowFlags() & Qt::Tool))
        window->setWindowFlag(Qt::Tool, true);
}

void applyEmptyCaption(QWidget *) {}

bool windowManagerRunning()
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = xcbConnection()) {
        // The window manager names a window of its own on the root and on that window itself.
        // Asked on every show: the atom, fixed for the connection, is looked up once.
        static const xcb_atom_t check = internAtom(c, "_NET_SUPPORTING_WM_CHECK");
        auto checkWindow = [&](xcb_window_t on) -> xcb_window_t {
            xcb_get_property_reply_t *r =
                xcb_get_property_reply(c, xcb_get_property(c, 0, on, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
            xcb_window_t found = XCB_WINDOW_NONE;
            if (r && r->format == 32 && xcb_get_property_value_length(r) == 4)
                found = *static_cast<const xcb_window_t *>(xcb_get_property_value(r));
            free(r);
            return found;
        };
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const xcb_window_t wm = checkWindow(root);
        return wm != XCB_WINDOW_NONE && checkWindow(wm) == wm;
    }
#endif
    return true; // other platforms stack their windows themselves
}

void moveNativeWindow(QWidget *window, QPoint topLeft)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = xcbConnection()) {
        const uint32_t xy[2] = {static_cast<uint32_t>(topLeft.x()), static_cast<uint32_t>(topLeft.y())};
        xcb_configure_window(c, static_cast<xcb_window_t>(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, xy);
        xcb_flush(c);
        return;
    }
#endif
    window->move(topLeft);
}

bool x11DisplayReachable()
{
#if ZENTYR_HAVE_XCB
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c)
        xcb_disconnect(c);
    return ok;
#else
    return false;
#endif
}

void endProcessNow(int code)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = xcbConnection())
        xcb_flush(c);
#endif
    std::fflush(stdout);
    std::fflush(stderr);
    std::quick_exit(code); // at_quick_exit handlers only: no destructors, no atexit
}

// The rulers need windows that stay on top, open where they are placed and are cut to
// shape: X gives all three, a native Wayland session none of them. So where the user
// has chosen no platform and an X display answers (XWayland included), run on X.
bool chooseDisplayPlatform(int argc, char *argv[])
{
    bool chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    for (int i = 1; i < argc && !chosen; ++i)
        chosen = std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0;
    if (chosen)
        return true;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && x11DisplayReachable()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace zentyr

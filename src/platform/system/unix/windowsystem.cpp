// SPDX-License-Identifier: MIT
// The window system on Unix desktops: X11 through XCB where the program is built with it and runs
// on xcb; Qt's own calls elsewhere (Wayland, offscreen).
#include "platform/system/windowsystem.h"

#include <QAbstractNativeEventFilter>
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
    xcb_intern_atom_reply_t *r
        = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
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
        const xcb_atom_t wanted[2]
            = {internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER")};
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
            xcb_get_property_reply_t *r
                = xcb_get_property_reply(c, xcb_get_property(c, 0, w, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
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
    // Wayland has no request for leaving the task list (the compositor decides), so the window is
    // left as it is.
    Q_UNUSED(window);
}

#if ZENTYR_HAVE_XCB
namespace {

// Managers with focus-stealing prevention (KWin, Mutter's family, Marco) mark a window mapped
// without the focus as demanding attention; ours never do, so the mark is taken off again.
class AttentionRefuser final : public QAbstractNativeEventFilter {
public:
    explicit AttentionRefuser(xcb_connection_t *c)
        : m_state(internAtom(c, "_NET_WM_STATE")), m_attention(internAtom(c, "_NET_WM_STATE_DEMANDS_ATTENTION"))
    { }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *ev = static_cast<const xcb_generic_event_t *>(message);
        if ((ev->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *pn = reinterpret_cast<const xcb_property_notify_event_t *>(ev);
        // Property changes reach us only for our own windows (and the root, which has no state).
        if (pn->atom != m_state || pn->state != XCB_PROPERTY_NEW_VALUE)
            return false;
        xcb_connection_t *c = xcbConnection();
        if (!c)
            return false;
        xcb_get_property_reply_t *r
            = xcb_get_property_reply(c, xcb_get_property(c, 0, pn->window, m_state, XCB_ATOM_ATOM, 0, 64), nullptr);
        bool marked = false;
        if (r && r->format == 32) {
            const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(r));
            marked = std::find(atoms, atoms + xcb_get_property_value_length(r) / 4, m_attention)
                != atoms + xcb_get_property_value_length(r) / 4;
        }
        free(r);
        if (marked) {
            xcb_client_message_event_t cm{};
            cm.response_type = XCB_CLIENT_MESSAGE;
            cm.format = 32;
            cm.window = pn->window;
            cm.type = m_state;
            cm.data.data32[0] = 0; // _NET_WM_STATE_REMOVE
            cm.data.data32[1] = m_attention;
            cm.data.data32[3] = 1; // a normal application
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
            xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char *>(&cm));
            xcb_flush(c);
        }
        return false;
    }

private:
    xcb_atom_t m_state, m_attention;
};

// Marco and Muffin lift a dialog that is transient for nothing into the highest layer of its
// window group, and Qt puts all our windows in one group: the topmost rulers would carry the
// dialogs above every other window. A group of its own keeps a dialog an ordinary window.
void leaveWindowGroup(xcb_connection_t *c, xcb_window_t w)
{
    enum { Flags, WindowGroup = 8, Fields };
    constexpr uint32_t windowGroupHint = 1u << 6;
    uint32_t hints[Fields] = {};
    xcb_get_property_reply_t *r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, Fields), nullptr);
    if (r && r->format == 32)
        memcpy(hints, xcb_get_property_value(r),
               std::min<size_t>(sizeof hints, size_t(xcb_get_property_value_length(r))));
    free(r);
    hints[Flags] |= windowGroupHint;
    hints[WindowGroup] = w;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, Fields, hints);
}

} // namespace
#endif

void applyWindowKind(QWidget *window, WindowKind kind)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = xcbConnection()) {
        static AttentionRefuser *refuser = [c] {
            auto *f = new AttentionRefuser(c); // lives as long as the connection
            qApp->installNativeEventFilter(f);
            return f;
        }();
        Q_UNUSED(refuser);
        if (kind == WindowKind::Normal)
            return;
        // Set directly rather than through Qt's window flags: Qt makes its dialog, tool and splash
        // windows transient for the program, and some managers then leave them out of task lists.
        const char *name = kind == WindowKind::Dialog ? "_NET_WM_WINDOW_TYPE_DIALOG"
            : kind == WindowKind::Utility             ? "_NET_WM_WINDOW_TYPE_UTILITY"
                                                      : "_NET_WM_WINDOW_TYPE_SPLASH";
        const xcb_window_t w = static_cast<xcb_window_t>(window->winId());
        const xcb_atom_t typeAtom = internAtom(c, "_NET_WM_WINDOW_TYPE");
        const xcb_atom_t normal = internAtom(c, "_NET_WM_WINDOW_TYPE_NORMAL");
        std::vector<xcb_atom_t> types{internAtom(c, name)};
        // Qt's own entries after ours (its frameless hint for KDE), its "normal" left out.
        xcb_get_property_reply_t *r
            = xcb_get_property_reply(c, xcb_get_property(c, 0, w, typeAtom, XCB_ATOM_ATOM, 0, 64), nullptr);
        if (r && r->format == 32) {
            const auto *have = static_cast<const xcb_atom_t *>(xcb_get_property_value(r));
            for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i)
                if (have[i] != normal && have[i] != types.front())
                    types.push_back(have[i]);
        }
        free(r);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, typeAtom, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(types.size()), types.data());
        if (kind == WindowKind::Dialog)
            leaveWindowGroup(c, w);
        xcb_flush(c);
    }
#else
    Q_UNUSED(window);
    Q_UNUSED(kind);
#endif
}

void applyEmptyCaption(QWidget *) { }

// X11 pop-up menus grab the keyboard and the pointer by themselves.
void bringMenuForward(QMenu *) { }

bool windowManagerRunning()
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = xcbConnection()) {
        // The window manager names a window of its own on the root and on that window itself.
        // Asked on every show: the atom, fixed for the connection, is looked up once.
        static const xcb_atom_t check = internAtom(c, "_NET_SUPPORTING_WM_CHECK");
        auto checkWindow = [&](xcb_window_t on) -> xcb_window_t {
            xcb_get_property_reply_t *r
                = xcb_get_property_reply(c, xcb_get_property(c, 0, on, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
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
        xcb_configure_window(c, static_cast<xcb_window_t>(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                             xy);
        xcb_flush(c);
        return;
    }
#endif
    window->move(topLeft);
}

// Whether an X server answers at DISPLAY; asked before the application exists. False where the
// program is built without X11.
static bool x11DisplayReachable()
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

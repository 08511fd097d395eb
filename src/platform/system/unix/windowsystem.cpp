// SPDX-License-Identifier: MIT
// The window system on Unix desktops: X11 through XCB where the program is built with it and runs
// on xcb; Qt's own calls elsewhere (Wayland, offscreen).
#include "platform/system/windowsystem.h"
#include "platform/system/unix/sway.h"
#include "platform/system/unix/x11.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QMenu>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zentyr {

void applyNoTaskbar(QWidget *window)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = x11::connection()) {
        const xcb_window_t w = static_cast<xcb_window_t>(window->winId());
        const xcb_atom_t wanted[2]
            = {x11::atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), x11::atom(c, "_NET_WM_STATE_SKIP_PAGER")};
        if (window->windowHandle() && window->windowHandle()->isVisible()) {
            // A mapped window belongs to the window manager: ask it.
            x11::changeWmState(c, w, true, wanted[0], wanted[1]);
        } else {
            // Before the map the property is ours; Qt merges what is in it when it maps the window.
            const xcb_atom_t state = x11::atom(c, "_NET_WM_STATE");
            std::vector<uint32_t> atoms = x11::property(c, w, state, XCB_ATOM_ATOM);
            for (xcb_atom_t a : wanted)
                if (std::ranges::find(atoms, a) == atoms.end())
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

// Our windows' X events. Managers with focus-stealing prevention (KWin, Mutter's family, Marco)
// mark a window mapped without the focus as demanding attention; ours never do, so the mark is
// taken off again. Under Sway, its centring of our windows is undone.
class WindowEventFilter final : public QAbstractNativeEventFilter {
public:
    explicit WindowEventFilter(xcb_connection_t *c)
        : m_c(c), m_state(x11::atom(c, "_NET_WM_STATE")), m_attention(x11::atom(c, "_NET_WM_STATE_DEMANDS_ATTENTION"))
    {
        qApp->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *ev = static_cast<const xcb_generic_event_t *>(message);
        const uint8_t kind = ev->response_type & 0x7f;
        if (kind == XCB_CONFIGURE_NOTIFY && sway::placesWindows())
            sway::undoCentring(*reinterpret_cast<const xcb_configure_notify_event_t *>(ev));
        if (kind != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *pn = reinterpret_cast<const xcb_property_notify_event_t *>(ev);
        // Property changes reach us only for our own windows (and the root, which has no state).
        if (pn->atom != m_state || pn->state != XCB_PROPERTY_NEW_VALUE)
            return false;
        const std::vector<uint32_t> states = x11::property(m_c, pn->window, m_state, XCB_ATOM_ATOM);
        if (std::ranges::find(states, m_attention) != states.end()) {
            x11::changeWmState(m_c, pn->window, false, m_attention);
            xcb_flush(m_c);
        }
        return false;
    }

private:
    xcb_connection_t *m_c;
    xcb_atom_t m_state, m_attention;
};

// Marco and Muffin lift a dialog that is transient for nothing into the highest layer of its
// window group, and Qt puts all our windows in one group: the topmost rulers would carry the
// dialogs above every other window. A group of its own keeps a dialog an ordinary window.
void leaveWindowGroup(xcb_connection_t *c, xcb_window_t w)
{
    enum { Flags, WindowGroup = 8, Fields };
    constexpr uint32_t windowGroupHint = 1u << 6;
    std::vector<uint32_t> hints = x11::property(c, w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, Fields);
    hints.resize(Fields);
    hints[Flags] |= windowGroupHint;
    hints[WindowGroup] = w;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, Fields, hints.data());
}

// Whether an X server answers at DISPLAY and takes us; asked before the application exists. The
// reason of a server that answers but refuses goes to `refusal`.
bool x11DisplayAnswers(QByteArray *refusal)
{
    // libxcb writes a refusing server's reason straight to standard error, with nothing around it;
    // it is caught on a pipe and said with the rest.
    int pipeFds[2] = {-1, -1};
    const int savedErr = pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0 ? dup(STDERR_FILENO) : -1;
    if (savedErr >= 0) {
        std::fflush(stderr);
        dup2(pipeFds[1], STDERR_FILENO);
    }
    xcb_connection_t *c = xcb_connect(nullptr, nullptr); // never null: a failed one carries its error
    const bool ok = !xcb_connection_has_error(c);
    xcb_disconnect(c);
    if (savedErr >= 0) {
        dup2(savedErr, STDERR_FILENO);
        close(savedErr);
        close(pipeFds[1]);
        char buffer[512];
        for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            refusal->append(buffer, n);
        close(pipeFds[0]);
        *refusal = refusal->trimmed();
    }
    return ok;
}

} // namespace
#endif

void applyWindowKind([[maybe_unused]] QWidget *window, [[maybe_unused]] WindowKind kind)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = x11::connection()) {
        [[maybe_unused]] static const auto *filter = new WindowEventFilter(c); // lives as long as the connection
        if (kind == WindowKind::Normal)
            return;
        // Set directly rather than through Qt's window flags: Qt makes its dialog, tool and splash
        // windows transient for the program, and some managers then leave them out of task lists.
        const char *name = kind == WindowKind::Dialog ? "_NET_WM_WINDOW_TYPE_DIALOG"
            : kind == WindowKind::Utility             ? "_NET_WM_WINDOW_TYPE_UTILITY"
                                                      : "_NET_WM_WINDOW_TYPE_SPLASH";
        const xcb_window_t w = static_cast<xcb_window_t>(window->winId());
        const xcb_atom_t typeAtom = x11::atom(c, "_NET_WM_WINDOW_TYPE");
        const xcb_atom_t normal = x11::atom(c, "_NET_WM_WINDOW_TYPE_NORMAL");
        std::vector<xcb_atom_t> types{x11::atom(c, name)};
        // Qt's own entries after ours (its frameless hint for KDE), its "normal" left out.
        for (xcb_atom_t have : x11::property(c, w, typeAtom, XCB_ATOM_ATOM))
            if (have != normal && have != types.front())
                types.push_back(have);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, typeAtom, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(types.size()), types.data());
        if (kind == WindowKind::Dialog)
            leaveWindowGroup(c, w);
        xcb_flush(c);
    }
#endif
    sway::floatNativeWindows();
}

void applyEmptyCaption(QWidget *) { }

// X11 pop-up menus grab the keyboard and the pointer by themselves.
void popupMenu(QMenu *menu, QPoint at)
{
    menu->setActiveAction(nullptr);
    menu->popup(at);
}

bool windowManagerRunning()
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = x11::connection()) {
        // The window manager names a window of its own on the root and on that window itself.
        // Asked on every show: the atom, fixed for the connection, is looked up once.
        static const xcb_atom_t check = x11::atom(c, "_NET_SUPPORTING_WM_CHECK");
        auto checkWindow = [&](xcb_window_t on) -> xcb_window_t {
            const std::vector<uint32_t> found = x11::property(c, on, check, XCB_ATOM_WINDOW, 1);
            return found.empty() ? static_cast<xcb_window_t>(XCB_WINDOW_NONE) : found.front();
        };
        const xcb_window_t wm = checkWindow(x11::rootWindow(c));
        return wm != XCB_WINDOW_NONE && checkWindow(wm) == wm;
    }
#endif
    return true; // other platforms stack their windows themselves
}

void moveNativeWindow(QWidget *window, QPoint topLeft)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = x11::connection()) {
        if (sway::moveWindow(window, topLeft))
            return;
        const uint32_t xy[2] = {static_cast<uint32_t>(topLeft.x()), static_cast<uint32_t>(topLeft.y())};
        xcb_configure_window(c, static_cast<xcb_window_t>(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                             xy);
        xcb_flush(c);
        return;
    }
#endif
    window->move(topLeft);
}

void endProcessNow(int code)
{
#if ZENTYR_HAVE_XCB
    if (xcb_connection_t *c = x11::connection())
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
#if ZENTYR_HAVE_XCB
    QByteArray refusal;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && x11DisplayAnswers(&refusal)) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    if (!refusal.isEmpty())
        std::fprintf(stderr, "zentyr: the X display %s refused the connection: %s\n", qgetenv("DISPLAY").constData(),
                     refusal.constData());
#endif
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace zentyr

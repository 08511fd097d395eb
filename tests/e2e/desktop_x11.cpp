// SPDX-License-Identifier: MIT
// X queries over xcb: atoms, properties, the window tree, geometry, the window manager, the tray
// and popup menus.
#include "desktop_p.h"

#include <algorithm>

namespace e2e {

QString hex(WindowId w) { return QStringLiteral("0x") + QString::number(w, 16); }

QStringList XProperty::strings() const
{
    if (!exists || format != 8)
        return {};
    QList<QByteArray> parts = data.split('\0');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList out;
    const bool utf8 = type == QLatin1String("UTF8_STRING");
    for (const QByteArray &p : parts)
        out << (utf8 ? QString::fromUtf8(p) : QString::fromLatin1(p));
    return out;
}

QString XProperty::text() const
{
    const QStringList s = strings();
    return s.isEmpty() ? QString() : s.first();
}

QList<quint32> XProperty::values() const
{
    QList<quint32> out;
    if (!exists || format != 32)
        return out;
    const auto *v = reinterpret_cast<const quint32 *>(data.constData());
    for (qsizetype i = 0; i < data.size() / 4; ++i)
        out << v[i];
    return out;
}

xcb_atom_t Desktop::Impl::atom(const QByteArray &name) const
{
    if (!conn)
        return XCB_ATOM_NONE;
    if (auto it = atomCache.constFind(name); it != atomCache.constEnd())
        return *it;
    xcb_intern_atom_reply_t *r
        = xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, name.size(), name.constData()), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    if (a != XCB_ATOM_NONE)
        atomCache.insert(name, a);
    return a;
}

QString Desktop::Impl::atomName(xcb_atom_t a) const
{
    if (!conn || a == XCB_ATOM_NONE)
        return {};
    if (auto it = nameCache.constFind(a); it != nameCache.constEnd())
        return *it;
    xcb_get_atom_name_reply_t *r = xcb_get_atom_name_reply(conn, xcb_get_atom_name(conn, a), nullptr);
    QString n;
    if (r)
        n = QString::fromLatin1(xcb_get_atom_name_name(r), xcb_get_atom_name_name_length(r));
    free(r);
    nameCache.insert(a, n);
    return n;
}

XProperty Desktop::Impl::prop(xcb_window_t w, const QByteArray &name) const
{
    XProperty out;
    const xcb_atom_t a = atom(name);
    if (!conn || !w || a == XCB_ATOM_NONE)
        return out;
    xcb_get_property_reply_t *r = xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, w, a, XCB_GET_PROPERTY_TYPE_ANY, 0, 1u << 22), nullptr);
    if (r && r->type != XCB_ATOM_NONE) {
        out.exists = true;
        out.type = atomName(r->type);
        out.format = r->format;
        out.data = QByteArray(static_cast<const char *>(xcb_get_property_value(r)),
                              xcb_get_property_value_length(r)); // in bytes
    }
    free(r);
    return out;
}

quint32 Desktop::Impl::firstValue(xcb_window_t w, const QByteArray &name) const
{
    const QList<quint32> v = prop(w, name).values();
    return v.isEmpty() ? 0 : v.first();
}

QStringList Desktop::Impl::atomList(xcb_window_t w, const QByteArray &name) const
{
    QStringList out;
    for (quint32 a : prop(w, name).values())
        out << atomName(a);
    return out;
}

QList<xcb_window_t> Desktop::Impl::children(xcb_window_t w, xcb_window_t *parent) const
{
    QList<xcb_window_t> out;
    if (parent)
        *parent = 0;
    if (!conn || !w)
        return out;
    xcb_query_tree_reply_t *r = xcb_query_tree_reply(conn, xcb_query_tree(conn, w), nullptr);
    if (!r)
        return out;
    const xcb_window_t *c = xcb_query_tree_children(r);
    for (int i = 0; i < xcb_query_tree_children_length(r); ++i)
        out << c[i];
    if (parent)
        *parent = r->parent;
    free(r);
    return out;
}

xcb_window_t Desktop::Impl::parentOf(xcb_window_t w) const
{
    xcb_window_t p = 0;
    children(w, &p);
    return p;
}

// Viewable children, bottom to top; attribute requests are pipelined.
QList<xcb_window_t> Desktop::Impl::viewableChildren(xcb_window_t w) const
{
    const QList<xcb_window_t> all = children(w);
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(all.size());
    for (xcb_window_t c : all)
        cookies.push_back(xcb_get_window_attributes(conn, c));
    QList<xcb_window_t> out;
    for (qsizetype i = 0; i < all.size(); ++i) {
        xcb_get_window_attributes_reply_t *r = xcb_get_window_attributes_reply(conn, cookies[i], nullptr);
        if (r && r->map_state == XCB_MAP_STATE_VIEWABLE)
            out << all[i];
        free(r);
    }
    return out;
}

void Desktop::Impl::walkViewable(xcb_window_t top, const std::function<void(xcb_window_t)> &visit) const
{
    for (xcb_window_t c : viewableChildren(top)) {
        visit(c);
        walkViewable(c, visit);
    }
}

xcb_window_t Desktop::Impl::clientOf(xcb_window_t topLevel) const
{
    if (hasProp(topLevel, "WM_STATE") || hasProp(topLevel, "WM_CLASS"))
        return topLevel;
    QList<xcb_window_t> queue = children(topLevel);
    while (!queue.isEmpty()) {
        const xcb_window_t w = queue.takeFirst();
        if (hasProp(w, "WM_STATE"))
            return w;
        queue += children(w);
    }
    return topLevel;
}

QRect Desktop::Impl::geometry(xcb_window_t w) const
{
    if (!conn || !w)
        return {};
    xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
    xcb_translate_coordinates_reply_t *t
        = xcb_translate_coordinates_reply(conn, xcb_translate_coordinates(conn, w, root, 0, 0), nullptr);
    QRect out;
    if (g && t)
        out = QRect(t->dst_x, t->dst_y, g->width, g->height);
    free(g);
    free(t);
    return out;
}

WindowId Desktop::Impl::trayPanel() const
{
    WindowId found = 0;
    walkViewable(root, [&](xcb_window_t w) {
        if (!found && wmClass(w) == QStringList{QStringLiteral("panel"), QStringLiteral("trayer")})
            found = w;
    });
    return found;
}

bool Desktop::Impl::wmUp() const
{
    const xcb_window_t check = firstValue(root, "_NET_SUPPORTING_WM_CHECK");
    return check && firstValue(check, "_NET_SUPPORTING_WM_CHECK") == check;
}

bool Desktop::Impl::trayOwned() const
{
    const xcb_atom_t sel = atom("_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber));
    if (!conn || sel == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t *r
        = xcb_get_selection_owner_reply(conn, xcb_get_selection_owner(conn, sel), nullptr);
    const bool owned = r && r->owner != XCB_NONE;
    free(r);
    return owned;
}

QPoint Desktop::Impl::cursorPos() const
{
    if (!conn)
        return {};
    xcb_query_pointer_reply_t *r = xcb_query_pointer_reply(conn, xcb_query_pointer(conn, root), nullptr);
    const QPoint p = r ? QPoint(r->root_x, r->root_y) : QPoint();
    free(r);
    return p;
}

QString Desktop::Impl::wmName() const
{
    if (!conn || !wmUp())
        return {};
    return prop(firstValue(root, "_NET_SUPPORTING_WM_CHECK"), "_NET_WM_NAME").text();
}

QList<WindowId> Desktop::findWindows(const QString &role, qint64 pid) const
{
    QList<WindowId> out;
    if (!d->conn)
        return out;
    d->walkViewable(d->root, [&](xcb_window_t w) {
        if (d->prop(w, "WM_WINDOW_ROLE").text() != role)
            return;
        if (pid > 0 && qint64(d->firstValue(w, "_NET_WM_PID")) != pid)
            return;
        out << w;
    });
    return out;
}

WindowId Desktop::waitForWindow(const QString &role, int timeoutMs, qint64 pid) const
{
    WindowId found = 0;
    waitUntil(
        [&] {
            const QList<WindowId> w = findWindows(role, pid);
            found = w.isEmpty() ? 0 : w.first();
            return found != 0;
        },
        timeoutMs);
    return found;
}

bool Desktop::waitForNoWindow(const QString &role, int timeoutMs, qint64 pid) const
{
    return waitUntil([&] { return findWindows(role, pid).isEmpty(); }, timeoutMs);
}

WindowId Desktop::waitForTitled(const QString &title, int timeoutMs) const
{
    WindowId found = 0;
    waitUntil(
        [&] {
            for (WindowId w : topLevelWindows())
                if (windowTitle(w) == title)
                    found = w;
            return found != 0;
        },
        timeoutMs);
    return found;
}

QList<WindowId> Desktop::topLevelWindows() const
{
    QList<WindowId> out;
    if (!d->conn)
        return out;
    for (xcb_window_t w : d->viewableChildren(d->root))
        out << d->clientOf(w);
    return out;
}

bool Desktop::isAbove(WindowId upper, WindowId lower) const
{
    const QList<WindowId> order = topLevelWindows();
    const qsizetype u = order.indexOf(upper), l = order.indexOf(lower);
    return u >= 0 && l >= 0 && u > l;
}

bool Desktop::isOverrideRedirect(WindowId w) const
{
    if (!d->conn || !w)
        return false;
    xcb_get_window_attributes_reply_t *r
        = xcb_get_window_attributes_reply(d->conn, xcb_get_window_attributes(d->conn, w), nullptr);
    const bool overrideRedirect = r && r->override_redirect;
    free(r);
    return overrideRedirect;
}

QRect Desktop::geometry(WindowId w) const { return d->geometry(w); }

QRect Desktop::frameGeometry(WindowId w) const
{
    if (!d->conn || !w)
        return {};
    xcb_window_t top = w;
    for (int depth = 0; depth < 32; ++depth) {
        const xcb_window_t parent = d->parentOf(top);
        if (!parent)
            return {};
        if (parent == d->root)
            break;
        top = parent;
    }
    xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(d->conn, xcb_get_geometry(d->conn, top), nullptr);
    QRect out;
    if (g)
        out = QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
    free(g);
    return out;
}

QRect Desktop::waitForStableGeometry(WindowId w, int stableMs, int timeoutMs) const
{
    QRect last = geometry(w);
    QElapsedTimer sinceChange;
    sinceChange.start();
    waitUntil(
        [&] {
            const QRect now = geometry(w);
            if (now != last) {
                last = now;
                sinceChange.restart();
            }
            return !last.isNull() && sinceChange.elapsed() >= stableMs;
        },
        timeoutMs, 25);
    return last;
}

QStringList Desktop::netWmState(WindowId w) const { return d->atomList(w, "_NET_WM_STATE"); }
QStringList Desktop::windowTypes(WindowId w) const { return d->atomList(w, "_NET_WM_WINDOW_TYPE"); }

QString Desktop::windowTitle(WindowId w) const
{
    const XProperty net = d->prop(w, "_NET_WM_NAME");
    return net.exists ? net.text() : d->prop(w, "WM_NAME").text();
}

qint64 Desktop::windowPid(WindowId w) const { return d->firstValue(w, "_NET_WM_PID"); }

WindowId Desktop::focusedWindow() const
{
    if (!d->conn)
        return 0;
    xcb_get_input_focus_reply_t *r = xcb_get_input_focus_reply(d->conn, xcb_get_input_focus(d->conn), nullptr);
    xcb_window_t w = r ? r->focus : XCB_NONE;
    free(r);
    if (w == XCB_NONE || w == XCB_INPUT_FOCUS_POINTER_ROOT || w == d->root)
        return 0;
    // Focus may sit on a child of the top-level (e.g. a native child widget).
    for (int depth = 0; depth < 32; ++depth) {
        if (d->hasProp(w, "WM_STATE"))
            return w;
        const xcb_window_t parent = d->parentOf(w);
        if (!parent || parent == d->root)
            return w;
        w = parent;
    }
    return w;
}

QString Desktop::describeWindows() const
{
    QStringList lines;
    for (WindowId w : topLevelWindows()) {
        const QRect g = geometry(w);
        lines << QStringLiteral(
                     "%1 role=%2 class=%3 title=\"%4\" geometry=%5,%6 %7x%8 frame=%9 %10type=%11 state=%12 pid=%13")
                     .arg(hex(w), d->prop(w, "WM_WINDOW_ROLE").text(), d->wmClass(w).join(QLatin1Char('/')),
                          windowTitle(w))
                     .arg(g.x())
                     .arg(g.y())
                     .arg(g.width())
                     .arg(g.height())
                     .arg(frameGeometry(w) == g ? QStringLiteral("same")
                                                : QStringLiteral("%1,%2 %3x%4")
                                                      .arg(frameGeometry(w).x())
                                                      .arg(frameGeometry(w).y())
                                                      .arg(frameGeometry(w).width())
                                                      .arg(frameGeometry(w).height()))
                     .arg(isOverrideRedirect(w) ? QStringLiteral("override-redirect ") : QString())
                     .arg(windowTypes(w).join(QLatin1Char(',')), netWmState(w).join(QLatin1Char(',')))
                     .arg(windowPid(w));
    }
    lines << QStringLiteral("active=%1 focus=%2 pointer=%3,%4")
                 .arg(hex(d->firstValue(d->root, "_NET_ACTIVE_WINDOW")), hex(focusedWindow()))
                 .arg(d->cursorPos().x())
                 .arg(d->cursorPos().y());
    return lines.join(QLatin1Char('\n'));
}

QList<WindowId> Desktop::trayIconWindows() const
{
    QList<WindowId> out;
    const WindowId panel = d->conn ? d->trayPanel() : 0;
    if (!panel)
        return out;
    d->walkViewable(panel, [&](xcb_window_t w) {
        if (d->hasProp(w, "_XEMBED_INFO"))
            out << w;
    });
    std::sort(out.begin(), out.end(), [&](WindowId a, WindowId b) { return geometry(a).x() < geometry(b).x(); });
    return out;
}

WindowId Desktop::waitForTrayIcon(int timeoutMs) const
{
    WindowId icon = 0;
    QRect previous;
    waitUntil(
        [&] {
            const QList<WindowId> icons = trayIconWindows();
            icon = icons.isEmpty() ? 0 : icons.first();
            const QRect g = geometry(icon);
            const bool placed = icon && g.width() >= 2 && g.height() >= 2 && geometry(d->trayPanel()).contains(g);
            const bool stable = placed && g == previous;
            previous = g;
            return stable;
        },
        timeoutMs, 50);
    return previous.width() >= 2 ? icon : 0;
}

QList<WindowId> Desktop::popupMenus(const QString &instance) const
{
    QList<WindowId> out;
    if (!d->conn)
        return out;
    // Qt 6.4 types QMenu windows _NET_WM_WINDOW_TYPE_NORMAL, so rule out the other kinds instead.
    static const QStringList notMenus{
        QStringLiteral("_NET_WM_WINDOW_TYPE_TOOLTIP"), QStringLiteral("_NET_WM_WINDOW_TYPE_NOTIFICATION"),
        QStringLiteral("_NET_WM_WINDOW_TYPE_DND"), QStringLiteral("_NET_WM_WINDOW_TYPE_SPLASH")};
    for (xcb_window_t w : d->viewableChildren(d->root)) {
        // Off-screen ones are WM helpers such as openbox's 1x1 check window at -100,-100.
        if (!isOverrideRedirect(w) || !geometry(w).intersects(QRect(QPoint(0, 0), d->screenSize)))
            continue;
        const QStringList types = windowTypes(w);
        if (std::any_of(types.begin(), types.end(), [](const QString &t) { return notMenus.contains(t); }))
            continue;
        if (!instance.isEmpty() && d->wmClass(w).value(0) != instance)
            continue;
        out << w;
    }
    return out;
}

WindowId Desktop::waitForPopupMenu(int timeoutMs, const QString &instance) const
{
    WindowId found = 0;
    waitUntil(
        [&] {
            const QList<WindowId> m = popupMenus(instance);
            found = m.isEmpty() ? 0 : m.last();
            return found != 0;
        },
        timeoutMs);
    return found;
}

bool Desktop::waitForNoPopupMenu(int timeoutMs, const QString &instance) const
{
    return waitUntil([&] { return popupMenus(instance).isEmpty(); }, timeoutMs);
}

} // namespace e2e

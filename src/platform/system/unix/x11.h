// SPDX-License-Identifier: MIT
#pragma once
// The few XCB requests the Unix files make, where the program is built with XCB.
#if ZENTYR_HAVE_XCB
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace zentyr::x11 {

// The program's own connection, or nullptr where it does not run on xcb.
inline xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

inline xcb_window_t rootWindow(xcb_connection_t *c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

// XCB_ATOM_NONE when onlyIfExists and the server has no such atom yet.
inline xcb_atom_t atom(xcb_connection_t *c, const char *name, bool onlyIfExists = false)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, onlyIfExists, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// The 32-bit items of a window's property, at most maxItems; none when it is unset or not of that
// format (atoms, windows, WM_HINTS).
inline std::vector<uint32_t> property(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                                      uint32_t maxItems = 1024)
{
    std::vector<uint32_t> items;
    xcb_get_property_reply_t *r
        = xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, maxItems), nullptr);
    if (r && r->format == 32) {
        const auto *have = static_cast<const uint32_t *>(xcb_get_property_value(r));
        items.assign(have, have + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    return items;
}

// Asks the window manager to add or remove states of a mapped window (_NET_WM_STATE).
inline void changeWmState(xcb_connection_t *c, xcb_window_t w, bool add, xcb_atom_t first, xcb_atom_t second = 0)
{
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = atom(c, "_NET_WM_STATE");
    ev.data.data32[0] = add ? 1 : 0; // _NET_WM_STATE_ADD, _NET_WM_STATE_REMOVE
    ev.data.data32[1] = first;
    ev.data.data32[2] = second;
    ev.data.data32[3] = 1; // a normal application
    xcb_send_event(c, 0, rootWindow(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&ev));
}

} // namespace zentyr::x11
#endif

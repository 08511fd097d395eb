// SPDX-License-Identifier: MIT
#pragma once
// Sway. Through XWayland it centres a floating X window when it maps it and on every move or
// resize the window asks for, and places it only when told over its IPC socket. Natively it tiles
// every window that has no parent and no fixed size, with a title bar where the window draws none.

class QWidget;
class QPoint;
struct xcb_configure_notify_event_t;

namespace zentyr::sway {

#if ZENTYR_HAVE_XCB
// Whether the program runs on XWayland under Sway (SWAYSOCK set, an XWayland output).
bool placesWindows();
// Puts a top-level window of ours back where the program placed it when Sway's answer to a move
// or resize (or to the map) centred it instead.
void undoCentring(const xcb_configure_notify_event_t &answer);
// Moves a mapped window through Sway; false where Sway does not place windows or refused.
bool moveWindow(QWidget *window, QPoint topLeft);
#endif

// Natively on Sway: from now on every window of ours floats at its own size, and those with no
// caption of their own (all but message boxes) have no title bar. Does nothing elsewhere.
void floatNativeWindows();

} // namespace zentyr::sway

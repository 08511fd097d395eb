// SPDX-License-Identifier: MIT
#pragma once
// Sway through XWayland: Sway centres a floating X window when it maps and on every move or resize
// the window asks for, and places it only when told over its IPC socket.
#if ZENTYR_HAVE_XCB
#include <QPoint>
#include <xcb/xcb.h>

class QWidget;

namespace zentyr::sway {

// Whether the program runs on XWayland under Sway (SWAYSOCK set, an XWayland output).
bool placesWindows();
// From now on, puts every top-level window of ours back where the program placed it when Sway
// centred it instead. Does nothing elsewhere.
void keepProgramPlacement();
// Moves a mapped window through Sway; false where Sway does not place windows or refused.
bool moveWindow(QWidget *window, QPoint topLeft);

} // namespace zentyr::sway
#endif

// SPDX-License-Identifier: MIT
#pragma once
// What the desktop session around the program does with its windows and its tray icon, where
// that differs from one display server to the next.

#include <QPoint>
#include <optional>

namespace zentyr {

// Whether the program's X display is XWayland, the X server of a Wayland session.
bool onXwayland();

// Whether the display server cuts a window to its mask, in drawing as in input. X servers with
// SHAPE and Windows do. A Wayland compositor takes the mask for input only, and wlroots draws
// X windows from XWayland whole: there a shaped window is translucent outside its mask.
bool windowSystemCutsMasks();

// Starts noting where a status-notifier host asks for the icon's menu (its ContextMenu call names
// a point on the screen). Call once the icon exists.
void watchTrayMenuRequests();
// The point of a menu request that came just now, once: the next pop-up menu opens there instead
// of at the mouse pointer, which a Wayland session shows X programs only over their own windows.
std::optional<QPoint> takeTrayMenuPoint();

} // namespace zentyr

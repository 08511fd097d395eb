// SPDX-License-Identifier: MIT
#pragma once
// The rulers by keyboard: arrows move a ruler by a pixel (ten with Shift), Page Down and Page Up
// step it by its own outer size across its scale, the Menu key and Shift+F10 open its menu.

#include <QRect>
#include <Qt>
#include <optional>

namespace zentyr {

// Which way Page Down steps a ruler: down by its height, right by its width, or not at all.
enum class PageStep { None, Down, Right };

// The outer rectangle a key gives a ruler whose outer rectangle is `outer`, on a monitor whose
// available area is `available`; nothing for a key that does not move it. A Page step stops at
// the monitor's edge and never moves a ruler back from beyond it; the arrows are not held.
std::optional<QRect> keyedGeometry(const QRect &outer, int key, Qt::KeyboardModifiers mods, PageStep page,
                                   const QRect &available);

// Whether a key opens the focused window's menu: the Menu key, or Shift+F10.
bool opensMenu(int key, Qt::KeyboardModifiers mods);

} // namespace zentyr

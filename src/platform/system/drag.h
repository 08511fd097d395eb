// SPDX-License-Identifier: MIT
#pragma once
// Moving and resizing windows that have no title bar: the window manager's own move and resize
// where it offers them, else a move that follows the mouse.

#include <Qt>

class QWidget;

namespace zentyr {

// Hands a left-button move of a top-level window to the window system; false where it refuses
// (no window manager).
bool startWindowSystemMove(QWidget *window);
// The same for a resize by the given border.
bool startWindowSystemResize(QWidget *window, Qt::Edges edges);

// Our own move: the window follows the mouse until the left button is released. Does nothing
// while one runs.
void beginOwnDrag(QWidget *window);
bool ownDragActive();

// Starts noting where the left button goes down, so that our own move keeps the grab point under
// the mouse. Call once before the first press can happen.
void trackMousePresses();

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
// Small services of the window system for top-level windows: stacking, taskbar, pop-up menus, the
// mouse pointer, the event loop and ending the process.

#include <QPoint>

class QMenu;
class QRect;
class QWidget;

namespace zentyr {

// Brings a top-level window to the front of its layer.
void raiseWindow(QWidget *window);
// Topmost placement at pixel geometry, shown without taking the focus.
void placeTopmost(QWidget *window, const QRect &geometry);
// Keeps a top-level window out of the taskbar (and pager); before each map, or on a mapped window.
void applyNoTaskbar(QWidget *window);
// What a top-level window is to the window manager. Tiling managers float every kind but Normal;
// task lists keep Normal and Dialog windows unless told to skip them.
enum class WindowKind { Normal, Dialog, Utility, Splash };
// Types a top-level window for the window manager; before each map (a manager reads it then).
// Only X11 has such types: elsewhere nothing changes. On X11 this also keeps the window manager's
// attention mark off all our windows: every window that should have the focus asks for it, and
// the rulers shown without it want no highlight in a task list.
void applyWindowKind(QWidget *window, WindowKind kind);

// Keeps an empty caption empty on the native window (Windows shows the program's name instead, in
// the taskbar button too); nothing where the window manager shows no caption of ours.
void applyEmptyCaption(QWidget *window);
// Whether a window manager runs (on X11 one that announces itself; elsewhere always).
bool windowManagerRunning();
// Moves a top-level window on the window system only; Qt learns of it from the window system.
void moveNativeWindow(QWidget *window, QPoint topLeft);
// Without a window manager, raises the program's stay-on-top windows over a window just shown.
void keepTopmostWindowsAbove(QWidget *shown);

// Pops a menu up at a point (desktop pixels) or the mouse position, default alignment, no default item.
void popupMenu(QMenu *menu, QPoint at);
void popupMenu(QMenu *menu);

// The program-wide mouse pointer: 0 default, 11 wait.
void setMousePointer(int code);

// Lets pending window events run.
void doEvents();

// Picks the platform plugin before the application exists: on Unix, X when no platform was chosen
// and an X server answers. False when there is no desktop to show anything on (a DISPLAY left over
// from a session that is gone included).
bool chooseDisplayPlatform(int argc, char *argv[]);

// Sends what is queued for the window system, then ends the process at once.
[[noreturn]] void endProcessNow(int code);

} // namespace zentyr

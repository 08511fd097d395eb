#pragma once
#include <QIcon>
#include <QRect>
#include <cstdint>

class QMenu;
class QWidget;

namespace zentyr {

// Brings a top-level window to the front of its layer.
void raiseWindow(QWidget *window);
// Topmost placement at pixel geometry, shown without taking the focus.
void placeTopmost(QWidget *window, const QRect &geometry);
// Keeps a top-level window out of the taskbar (and pager); call before it is first shown.
void applyNoTaskbar(QWidget *window);
// The window system's border resize; false where there is none.
bool startWindowSystemResize(QWidget *window, Qt::Edges edges);
// After the window system has taken over a drag: tells Qt the button is up.
void releaseAfterWindowSystemDrag(QWidget *window);
// A left-button drag: the window system's move, or our own that follows the
// mouse until the left button is released.
void beginWindowDrag(QWidget *window);
// Starts noting where the left button goes down (for our own drag).
void trackMousePresses();
// Whether our own drag is running (no window manager).
bool ownDragActive();

// Pops a menu up at the mouse position, default alignment, no default item.
void popupMenu(QMenu *menu);

// The program-wide mouse pointer: 0 default, 11 wait.
void setMousePointer(int code);
int mousePointer();

// Lets pending window events run.
void doEvents();

// Sends what is queued for the window system, then ends the process at once.
[[noreturn]] void endProcessNow(int code);

// Small handle numbers for icons, as the shell's records carry them.
std::uint32_t iconHandle(const QIcon &icon);
QIcon iconFromHandle(std::uint32_t handle);

} // namespace zentyr

// SPDX-License-Identifier: MIT
// The window system on Windows.
#include "platform/system/windowsystem.h"

#include <QMenu>
#include <QWidget>
#include <QWindow>
#include <windows.h>
#include <cstdio>
#include <cstdlib>

namespace zentyr {

// The hidden window that owns the program's windows without a taskbar button.
static QWindow *hiddenOwner()
{
    static QWindow *owner = [] {
        auto *w = new QWindow;
        w->create();
        return w;
    }();
    return owner;
}

void applyNoTaskbar(QWidget *window)
{
    // Qt makes a tool window WS_EX_TOOLWINDOW, which the shell leaves out of the taskbar. Set as
    // a window type, not as a bit: every window has Qt::Window, one of the bits of Qt::Tool.
    if (window->windowType() != Qt::Tool)
        window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
    // An owned window gets no button either, also from shells that ignore WS_EX_TOOLWINDOW. Qt
    // hands the owner to the native window each time it shows it.
    if (QWindow *native = window->windowHandle())
        native->setTransientParent(hiddenOwner());
}

void applyEmptyCaption(QWidget *window)
{
    // Qt puts the program's name on a window with no title; set again after each native window.
    if (window->windowTitle().isEmpty() && window->internalWinId())
        ::SetWindowTextW(reinterpret_cast<HWND>(window->internalWinId()), L"");
}

void popupMenu(QMenu *menu, QPoint at)
{
    menu->setActiveAction(nullptr);
    menu->popup(at);
    // As the shell documents for notification-icon menus: only as the foreground window does the menu
    // take the keyboard, and close on a click elsewhere.
    if (menu->isVisible())
        ::SetForegroundWindow(reinterpret_cast<HWND>(menu->winId()));
}

// Window types are X11's; the shell needs none.
void applyWindowKind(QWidget *, WindowKind) { }

bool windowManagerRunning() { return true; } // the shell stacks windows itself

void moveNativeWindow(QWidget *window, QPoint topLeft) { window->move(topLeft); }

// One desktop, no display variables to check.
bool chooseDisplayPlatform(int, char *[]) { return true; }

void endProcessNow(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code); // no destructors, no atexit (MinGW has no quick_exit); the mutex goes with the process
}

} // namespace zentyr

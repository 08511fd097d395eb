// SPDX-License-Identifier: MIT
// The window system on Windows.
#include "platform/system/windowsystem.h"

#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace zentyr {

void applyNoTaskbar(QWidget *window)
{
    // A tool window gets no taskbar button.
    if (!(window->windowFlags() & Qt::Tool))
        window->setWindowFlag(Qt::Tool, true);
}

// Window types are X11's; the shell needs none.
void applyWindowKind(QWidget *, WindowKind) {}

bool windowManagerRunning() { return true; } // the shell stacks windows itself

void moveNativeWindow(QWidget *window, QPoint topLeft) { window->move(topLeft); }

bool x11DisplayReachable() { return false; }

// One desktop, no display variables to check.
bool chooseDisplayPlatform(int, char *[]) { return true; }

void endProcessNow(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code); // no destructors, no atexit; MinGW's runtime has no quick_exit, and nothing here needs one
}

} // namespace zentyr

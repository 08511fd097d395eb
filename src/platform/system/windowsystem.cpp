// SPDX-License-Identifier: MIT
#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>
#include <QWindow>

namespace zentyr {

void keepTopmostWindowsAbove(QWidget *shown)
{
    if ((shown->windowFlags() & Qt::WindowStaysOnTopHint) || windowManagerRunning())
        return;
    // Without a window manager a newly mapped window goes on top of everything.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != shown && w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint))
            w->raise();
}

void raiseWindow(QWidget *window)
{
    // The offscreen platform has no stacking order (and says so on every call).
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen"))
        return;
    window->raise();
    // Wayland has no raising: a window on screen comes to the front only by being activated,
    // which the compositor grants (xdg-activation) or refuses. After a click on the tray icon Qt
    // holds the token the status-notifier host handed over (ProvideXdgActivationToken) and spends
    // it here: that is how KWin lets Plasma's tray bring a covered ruler forward. One just shown
    // is in front.
    if (platform.startsWith(QLatin1String("wayland")) && window->windowHandle() && window->windowHandle()->isExposed())
        window->windowHandle()->requestActivate();
}

void placeTopmost(QWidget *window, const QRect &geometry)
{
    // Qt changes nothing when the window has the flag already.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->setGeometry(geometry);
    if (!window->isVisible()) {
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
    }
    raiseWindow(window);
}

void popupMenu(QMenu *menu) { popupMenu(menu, QCursor::pos()); }

void setMousePointer(int code)
{
    // One pointer for the whole program, not a stack of them.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (code == 11)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void doEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

} // namespace zentyr

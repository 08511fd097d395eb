// SPDX-License-Identifier: MIT
#pragma once
// What the platform reports about the program's icon in the notification area, read as requests of
// the tray controller, and the icon's images; QtServices shows the icon.
#include <QEvent>
#include <QIcon>
#include <QSystemTrayIcon>

class QMenu;

namespace zentyr {

// What the user asks of the program through its icon.
enum class TrayRequest { Nothing, Ruler, Menu };

// Where the tray host embeds the icon's own window, the raw input over it.
TrayRequest rawTrayRequest(QEvent::Type type, Qt::MouseButton button);
// Where the platform reports an activation instead. Windows reports a single click and a double-click
// apart, so there a single click is only a click; a status-notifier host has no double-click, and its
// activation (a left click) counts as the double-click.
TrayRequest activationTrayRequest(QSystemTrayIcon::ActivationReason reason, bool doubleClicksReported);
// Whether the platform's tray reports double-clicks; each operating system answers in a file of its own.
bool trayReportsDoubleClicks();

// Which of the icon's square images (sizes in device pixels) a slot of slotPx device pixels shows:
// the largest that fits unscaled, else the smallest.
int trayImageSize(const QList<int> &sizes, int slotPx);

// How long the program waits for a notification area before it concludes there is none: what a
// setting asks for (ZENTYR_TRAY_GRACE_MS, milliseconds), a minute when it is empty, not a number or
// negative.
int trayGracePeriodMs(const QByteArray &setting);

// Whether a notification area exists now; each operating system answers in a file of its own.
bool notificationAreaExists();

// Hears what the user asks of the icon; it must outlive the icon.
class TrayClient {
public:
    virtual void trayOpenRuler() = 0;
    // at: the mouse position, in desktop pixels.
    virtual void trayOpenMenu(QPoint at) = 0;
    // The menu a status-notifier host shows itself (it reads the menu over D-Bus). Where the program
    // sees the raw input, it pops the menu up on its own from trayOpenMenu().
    virtual QMenu *trayMenu() = 0;

protected:
    ~TrayClient() = default;
};

// The icon Qt's tray shows for the window's icon: every image of it in its own pixels, drawn unscaled
// where one fits the host's slot.
QIcon trayIcon(const QIcon &windowIcon);

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
// The program's icon in the notification area on Qt, and the one place where what the platform
// reports about it becomes the mouse message numbers the tray controller acts on.
#include "platform/system/notifyicon.h"

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

namespace zentyr {

// Mouse input over the tray icon.
enum class TrayEvent { Move, Press, Release, DoubleClick };

// The mouse message number for input over the icon: 512 move; 513, 514, 515 left press, release and
// double-click; 516, 517, 518 right; 519, 520, 521 middle. 0 for other buttons: nothing is sent.
int trayMessageNumber(TrayEvent event, Qt::MouseButton button);

// The number for what the platform reports instead of raw input: the context request is the right
// release. Windows reports a single click and a double-click apart, so there a single click is the
// left release; a status-notifier host has no double-click, and its activation (a left click) counts
// as the double-click.
int trayActivationNumber(QSystemTrayIcon::ActivationReason reason, bool doubleClicksReported);
// Whether the platform's tray reports double-clicks; each operating system answers in a file of its own.
bool trayReportsDoubleClicks();

// Which of the icon's square images (sizes in device pixels) a slot of slotPx device pixels shows:
// the largest that fits unscaled, else the smallest.
int trayImageSize(const QList<int> &sizes, int slotPx);

// How long the program waits for a notification area before it concludes there is none.
inline constexpr int kTrayGracePeriodMs = 60000;
// The grace period a setting asks for (ZENTYR_TRAY_GRACE_MS, milliseconds); the default when it is
// empty, not a number or negative.
int trayGracePeriodMs(const QByteArray &setting);

// Whether a notification area exists now; each operating system answers in a file of its own.
bool notificationAreaExists();

// The window that takes the icon's notifications: the record's receiver, the window its hWnd
// names. It reads each mouse message number directly.
class TrayMessageReceiver {
public:
    virtual void trayMessage(int number) = 0;
    // The menu a status-notifier host shows itself (it reads the menu over D-Bus). Where the program
    // sees the raw input, it pops the menu up on its own from trayMessage().
    virtual QMenu *trayMenu() { return nullptr; }

protected:
    ~TrayMessageReceiver() = default;
};

// The icon a notify-icon record describes: the record's icon and tip, notifications to its receiver.
class Tray : public QObject {
public:
    // Without a notification area the icon waits for one: available() shows it once one exists.
    // False when there is already an icon or no notification area yet.
    bool add(const NotifyIconData &record);
    bool remove();
    // Whether a notification area exists now; a waiting icon is shown when one does.
    bool available();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void deliver(int number);
    void show();
    bool isIconWindow(const QObject *watched) const;

    NotifyIconData m_record;
    bool m_added = false;
    QSystemTrayIcon *m_icon = nullptr;
    bool m_rawInput = false;
};

} // namespace zentyr

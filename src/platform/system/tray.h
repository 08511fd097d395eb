#pragma once
// The program's icon in the notification area on Qt, and the one place where what the platform
// reports about it becomes the mouse message numbers the tray controller acts on.
#include "platform/system/notifyicon.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

class QWidget;

namespace zentyr {

// Mouse input over the tray icon.
enum class TrayEvent { Move, Press, Release, DoubleClick };

// The mouse message number for input over the icon: 512 move; 513, 514, 515 left press, release and
// double-click; 516, 517, 518 right; 519, 520, 521 middle. 0 for other buttons: nothing is sent.
int trayMessageNumber(TrayEvent event, Qt::MouseButton button);

// The window that takes the icon's notifications: the record's hWnd. It reads each mouse message
// number directly.
class TrayMessageReceiver {
public:
    virtual void trayMessage(int number) = 0;

protected:
    ~TrayMessageReceiver() = default;
};

// The icon a notify-icon record describes: the icon of the window named by hIcon, the record's tip,
// notifications to the window named by hWnd.
class Tray : public QObject {
public:
    // False when there is already an icon or no notification area.
    bool add(const NotifyIconData &record);
    bool remove();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void deliver(int number);

    QSystemTrayIcon *m_icon = nullptr;
    QPointer<QWidget> m_receiver;
    bool m_rawInput = false;
};

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
#include "platform/forms/form.h"
#include "platform/system/notificationareawait.h"
#include "platform/system/notifyicon.h"
#include "platform/system/tray.h"

#include <QTimer>

class QMenu;
class QAction;

namespace zentyr {

// The hidden tray controller: owns the tray icon and the tray menu, and ends the program.
class frmRightClick : public Form, public TrayMessageReceiver {
    Q_OBJECT
public:
    frmRightClick();
    ~frmRightClick() override;

    NotifyIconData nid;
    QTimer Timer1; // the start-up ruler timer
    QMenu *mnuShutDown = nullptr;
    QAction *mnuAbout = nullptr, *mnuHelp = nullptr, *mnuShowRuler = nullptr, *mnuVRuler = nullptr, *Sep1 = nullptr,
            *mnuClose = nullptr;

    void Timer1_Timer();
    void mnuClose_Click();

    // Fills the record and adds the icon.
    void registerTrayIcon();
    // A mouse message over the tray icon: 515 left double-click, 517 right release; others do nothing.
    void trayMessage(int number) override;
    QMenu *trayMenu() override { return mnuShutDown; }

    // The wait for a notification area when there was none at start, and the end of that wait.
    NotificationAreaWait areaWait;
    void noNotificationArea();

protected:
    void Form_Load() override;

private:
    void waitForNotificationArea();
    void notificationAreaAppeared();
    // Without a notification area: ends the program when no window of ours is left on screen.
    void endWithLastWindow(bool on);
    QMetaObject::Connection m_lastWindow;
};

} // namespace zentyr

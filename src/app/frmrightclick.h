// SPDX-License-Identifier: MIT
#pragma once
#include "platform/forms/form.h"
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
    void mnuAbout_Click();
    void mnuHelp_Click();
    void mnuShowRuler_Click();
    void mnuVRuler_Click();
    void mnuClose_Click();

    // Fills the record and adds the icon.
    void registerTrayIcon();
    bool trayMissing() const { return m_trayMissing; }
    // A mouse message over the tray icon: 515 left double-click, 517 right release; others do nothing.
    void trayMessage(int number) override;
    QMenu *trayMenu() override { return mnuShutDown; }

    // While no notification area exists: whether one has appeared (checked every second), and the
    // end of the wait for one.
    void checkNotificationArea();
    void noNotificationArea();
    QTimer hostWait; // single shot: the grace period
    QTimer hostCheck;

    // Without a notification area: end the program when no window of ours is left on screen.
    static void setLastWindowHook(bool on);

protected:
    void Form_Load() override;

private:
    void waitForNotificationArea();
    bool m_trayMissing = false;
};

} // namespace zentyr

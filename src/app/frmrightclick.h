// SPDX-License-Identifier: MIT
#pragma once
#include "platform/system/tray.h"

#include <QObject>
#include <QTimer>

class QMenu;

namespace zentyr {

// The tray controller: owns the tray icon and the tray menu, and ends the program. It has no window.
class frmRightClick : public QObject, public TrayClient {
    Q_OBJECT
public:
    frmRightClick();
    ~frmRightClick() override;

    // Loaded once, as a form is: Form_Load runs. unload() destroys it, taking the icon away.
    void load() { Form_Load(); }
    void unload();
    bool isUnloading() const { return m_unloading; }

    QTimer Timer1; // the start-up ruler timer
    QMenu *mnuShutDown = nullptr;

    void Timer1_Timer();
    void mnuClose_Click();

    // What the user asks of the tray icon.
    void trayOpenRuler() override;
    void trayOpenMenu(QPoint at) override;
    QMenu *trayMenu() override { return mnuShutDown; }

    // The wait for a notification area when there was none at start: asked every second until one
    // exists, given up on once the grace period is over; a panel that comes later still counts.
    QTimer areaCheck, areaGrace;
    void noNotificationArea();

private:
    void Form_Load();
    void waitForNotificationArea();
    void checkNotificationArea();
    QMetaObject::Connection m_lastWindow;
    bool m_unloading = false;
};

} // namespace zentyr

#pragma once
#include "platform/forms/form.h"
#include "platform/system/notifyicon.h"

#include <QTimer>

class QMenu;
class QAction;

namespace zentyr {

// The mouse message a tray notification carries in its x coordinate (twips).
int trayMessageFromX(float xTwips, double twipsPerPixel);

// The hidden tray controller: owns the tray icon and the tray menu.
class frmRightClick : public Form {
    Q_OBJECT
public:
    frmRightClick();
    ~frmRightClick() override;

    NotifyIconData nid;
    QTimer Timer1; // the start-up ruler timer
    QMenu *mnuShutDown;
    QAction *mnuAbout, *mnuHelp, *mnuShowRuler, *mnuVRuler, *Sep1, *mnuClose;

    void Timer1_Timer();
    void mnuAbout_Click();
    void mnuHelp_Click();
    void mnuShowRuler_Click();
    void mnuVRuler_Click();
    void mnuClose_Click();

    // Fills the record and adds the icon.
    void registerTrayIcon();
    bool trayMissing() const { return m_trayMissing; }

protected:
    void Form_Load() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;

private:
    void noNotificationArea();
    bool m_trayMissing = false;
};

} // namespace zentyr

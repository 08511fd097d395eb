// SPDX-License-Identifier: MIT
#pragma once
// The system services the program's windows call and a test must replace: message boxes, the Open
// dialog, the instance test, ending the program, the tray icon and the window system's move.
// qtservices.cpp holds the real implementation; the tests install a recording fake.
#include "platform/system/filedialog.h"
#include "platform/system/msgbox.h"

#include <QString>

class QIcon;
class QWidget;

namespace zentyr {

class TrayClient;

class Services {
public:
    virtual ~Services() = default;

    // Modal message box; an empty title means the application title. With an owner it blocks only
    // the owner, which may be destroyed while it waits; without one, the whole program.
    virtual void msgBox(const QString &text, MessageStyle style, const QString &title, QWidget *owner = nullptr) = 0;
    // The Open dialog, modal to its owner.
    virtual OpenResult showOpen(QWidget *owner, const OpenRequest &request) = 0;
    // Whether another copy was running when this one started; fixed for the process.
    virtual bool previousInstance() = 0;
    // Ends the process at once; no window handler runs. Fakes return, so callers return after it.
    virtual void endProgram() = 0;
    // Puts the program's icon with its tip in the notification area, once one exists. The client
    // hears what the user asks of the icon.
    virtual void addTrayIcon(const QIcon &icon, const QString &tip, TrayClient *client) = 0;
    virtual void removeTrayIcon() = 0;
    // Whether a notification area exists now. An icon added before one existed shows once this
    // finds one.
    virtual bool notificationAreaAvailable() = 0;
    // Hands a left-button drag of a top-level window to the window system.
    // False where it refuses (no window manager); the caller then moves the window itself.
    virtual bool startSystemMove(QWidget *window) = 0;
};

Services &services();
// Installs the services (not owned); nullptr restores the Qt implementation.
void setServices(Services *s);

} // namespace zentyr

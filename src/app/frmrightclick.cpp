// SPDX-License-Identifier: MIT
#include "app/frmrightclick.h"
#include "app/app.h"
#include "platform/forms/commands.h"
#include "platform/forms/formregistry.h"
#include "app/module1.h"
#include "artwork/artwork.h"
#include "platform/system/msgbox.h"
#include "platform/system/services.h"
#include "platform/system/trace.h"
#include "platform/system/windowsystem.h"
#include "rulers/frmruler.h"
#include "rulers/rulerform.h"

#include <QMenu>
#include <cstdio>

namespace zentyr {

namespace {

void showInfo(frmRightClick &) { ShowInfoScreen(); }

const Command<frmRightClick> shutDownMenu[] = {
    {"mnuAbout", "About Zentyr", showInfo},
    {"mnuHelp", "Help", showInfo},
    {"mnuShowRuler", "Show Standard Ruler", showFormCommand<frmRuler>},
    {"mnuVRuler", "Show Vertical Ruler", showFormCommand<frmVRuler>},
    {"Sep1"},
    {"mnuClose", "Exit Zentyr", [](frmRightClick &tray) { tray.mnuClose_Click(); }},
};

} // namespace

frmRightClick::frmRightClick()
{
    setObjectName(QStringLiteral("frmRightClick"));
    mnuShutDown
        = buildMenu<frmRightClick>(*this, QStringLiteral("mnuShutDown"), QStringLiteral("Shut Down"), shutDownMenu);

    // Runs from the moment the tray controller is loaded: the standard ruler follows the tray icon
    // a second later.
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &frmRightClick::Timer1_Timer);
    Timer1.start(1000);

    areaGrace.setSingleShot(true);
    connect(&areaCheck, &QTimer::timeout, this, &frmRightClick::checkNotificationArea);
    // The end of the grace period: asks once more, then gives up unless one has appeared.
    connect(&areaGrace, &QTimer::timeout, this, [this] {
        checkNotificationArea();
        if (areaCheck.isActive())
            noNotificationArea();
    });
}

frmRightClick::~frmRightClick()
{
    services().removeTrayIcon();
    delete mnuShutDown;
}

void frmRightClick::unload()
{
    m_unloading = true;
    deleteLater(); // its handlers may still be on the stack
}

void frmRightClick::Form_Load()
{
    if (previousInstanceGuard())
        return;
    services().addTrayIcon(artwork::programIcon(), QStringLiteral("Zentyr by Orvane"), this);
    traceEvent("tray icon added");
    if (!services().notificationAreaAvailable())
        waitForNotificationArea();
}

static void endProgramWithoutWindows()
{
    std::fprintf(stderr, "zentyr: the last window was closed and there is no notification area; ending.\n");
    services().endProgram();
}

static QString seconds(int ms)
{
    const int s = (ms + 999) / 1000;
    return s == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(s);
}

// A panel often starts after the program (at login): the icon is added anyway and shows once a
// check finds a notification area, so only a long wait without one means there is none.
void frmRightClick::waitForNotificationArea()
{
    const int graceMs = trayGracePeriodMs(qgetenv("ZENTYR_TRAY_GRACE_MS"));
    std::fprintf(stderr, "zentyr: no notification area (system tray) yet; waiting %s for one.\n",
                 qPrintable(seconds(graceMs)));
    areaGrace.start(graceMs);
    areaCheck.start(1000);
}

void frmRightClick::checkNotificationArea()
{
    if (!services().notificationAreaAvailable())
        return;
    areaCheck.stop();
    areaGrace.stop();
    disconnect(m_lastWindow);
    std::fprintf(stderr, "zentyr: a notification area appeared; the tray icon is there.\n");
}

// Without a notification area nothing would be left to reach or end the program once its windows
// are gone, so it ends with its last window instead, or at once with "hideruler". The user is told
// once, in a box: a program started from a menu has no standard error to read. The box has the stop
// icon when the program ends because of it, none when it goes on.
void frmRightClick::noNotificationArea()
{
    const QString waited = QStringLiteral("No notification area (system tray) appeared on this desktop within %1, "
                                          "so Zentyr has no tray icon.")
                               .arg(seconds(areaGrace.interval()));
    if (commandLine() == QLatin1String("hideruler")) {
        std::fprintf(stderr,
                     "zentyr: this desktop has no notification area (system tray), and with \"hideruler\" "
                     "nothing would be on screen; ending.\n");
        areaCheck.stop();
        services().msgBox(waited
                              + QStringLiteral(" Started with \"hideruler\", it would have nothing on screen, "
                                               "so it ends now."),
                          MessageStyle::Critical, applicationTitle());
        mnuClose_Click(); // as Exit does
        return;
    }
    std::fprintf(stderr,
                 "zentyr: this desktop has no notification area (system tray); Zentyr ends when its last "
                 "window is closed.\n");
    services().msgBox(waited + QStringLiteral(" It ends when its last window is closed."), MessageStyle::Plain,
                      applicationTitle());
    // A host that appears later still gets the icon, and then the program stays.
    if (!areaCheck.isActive())
        return;
    // Without a notification area: the program ends when no window of ours is left on screen.
    disconnect(m_lastWindow);
    m_lastWindow = connect(&OpenForms::instance(), &OpenForms::lastWindowClosed, this, &endProgramWithoutWindows);
    if (!OpenForms::anyOnScreen())
        endProgramWithoutWindows();
}

void frmRightClick::trayOpenRuler() { showForm<frmRuler>(); }

void frmRightClick::trayOpenMenu(QPoint at) { popupMenu(mnuShutDown, at); }

void frmRightClick::Timer1_Timer()
{
    if (commandLine() != QLatin1String("hideruler")) {
        showForm<frmRuler>();
        traceEvent("standard ruler shown");
    }
    // Later ticks would do nothing; a stopped timer does not wake the machine.
    Timer1.stop();
}

void frmRightClick::mnuClose_Click()
{
    services().removeTrayIcon();
    services().endProgram();
}

} // namespace zentyr

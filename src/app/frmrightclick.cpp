// SPDX-License-Identifier: MIT
#include "app/frmrightclick.h"
#include "app/app.h"
#include "platform/forms/commands.h"
#include "platform/forms/formregistry.h"
#include "app/module1.h"
#include "artwork/artwork.h"
#include "platform/forms/msgbox.h"
#include "platform/system/services.h"
#include "platform/system/trace.h"
#include "platform/forms/vberror.h"
#include "platform/system/windowsystem.h"
#include "rulers/frmruler.h"
#include "rulers/frmvruler.h"

#include <QMenu>
#include <cstdio>

namespace zentyr {

namespace {

void showInfo(frmRightClick &) { ShowInfoScreen(); }
void close(frmRightClick &tray) { tray.mnuClose_Click(); }

const Command<frmRightClick> shutDownMenu[] = {
    {"mnuAbout", "About Zentyr", showInfo},
    {"mnuHelp", "Help", showInfo},
    {"mnuShowRuler", "Show Standard Ruler", showFormCommand<frmRuler>},
    {"mnuVRuler", "Show Vertical Ruler", showFormCommand<frmVRuler>},
    {"Sep1"},
    {"mnuClose", "Exit Zentyr", close},
};

} // namespace

frmRightClick::frmRightClick()
    : Form(QStringLiteral("frmRightClick"), Border::None, QSizeF(4680, 3195)),
      areaWait([] { return services().notificationAreaAvailable(); })
{
    setWindowTitle(QStringLiteral("Quillet - Main"));
    setWindowIcon(artwork::programIcon());

    mnuShutDown
        = buildMenu<frmRightClick>(*this, QStringLiteral("mnuShutDown"), QStringLiteral("Shut Down"), shutDownMenu);
    mnuAbout = mnuShutDown->findChild<QAction *>(QStringLiteral("mnuAbout"));
    mnuHelp = mnuShutDown->findChild<QAction *>(QStringLiteral("mnuHelp"));
    mnuShowRuler = mnuShutDown->findChild<QAction *>(QStringLiteral("mnuShowRuler"));
    mnuVRuler = mnuShutDown->findChild<QAction *>(QStringLiteral("mnuVRuler"));
    Sep1 = mnuShutDown->findChild<QAction *>(QStringLiteral("Sep1"));
    mnuClose = mnuShutDown->findChild<QAction *>(QStringLiteral("mnuClose"));

    // Runs from the moment the tray controller is loaded: the standard ruler follows the tray icon
    // a second later.
    Timer1.setInterval(1000);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &frmRightClick::Timer1_Timer);
    Timer1.start();

    connect(&areaWait, &NotificationAreaWait::appeared, this, &frmRightClick::notificationAreaAppeared);
    connect(&areaWait, &NotificationAreaWait::gaveUp, this, &frmRightClick::noNotificationArea);
}

frmRightClick::~frmRightClick() { services().shellNotifyIcon(NIM_DELETE, nid); }

void frmRightClick::Form_Load()
{
    try {
        if (previousInstanceGuard())
            return;
        registerTrayIcon();
    } catch (const VbError &e) {
        if (e.number == ErrNonModalWhileModal) {
            services().endProgram();
            return;
        }
        if (e.number != ErrObjectNotSet && e.number != 0)
            services().msgBox(errorReportText(e.number, e.source, e.description), vbOKOnly, QStringLiteral("Error"));
        // The trap runs once; a second failure is only reported on standard error.
        try {
            registerTrayIcon();
        } catch (const VbError &again) {
            std::fprintf(stderr, "zentyr: the tray icon could not be added (error %d: %s)\n", again.number,
                         qPrintable(again.description));
        }
    }
}

void frmRightClick::registerTrayIcon()
{
    nid.cbSize = 88;
    nid.hWnd = static_cast<std::uint32_t>(winId());
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = 512;
    if (windowIcon().isNull())
        throw VbError(ErrObjectNotSet, QStringLiteral("Zentyr"),
                      QStringLiteral("Object variable or With block variable not set"));
    // Qt's icons have no handles of their own: the record names the window that carries the icon.
    nid.hIcon = nid.hWnd;
    nid.receiver = this;
    nid.icon = windowIcon();
    assignFixedString(nid.szTip, QByteArray("Zentyr by Orvane") + '\0');
    services().shellNotifyIcon(NIM_ADD, nid);
    traceEvent("tray icon added");
    if (!services().notificationAreaAvailable())
        waitForNotificationArea();
}

static void endProgramWithoutWindows()
{
    std::fprintf(stderr, "zentyr: the last window was closed and there is no notification area; ending.\n");
    services().endProgram();
}

void frmRightClick::endWithLastWindow(bool on)
{
    disconnect(m_lastWindow);
    if (on)
        m_lastWindow = connect(&OpenForms::instance(), &OpenForms::lastWindowClosed, this, &endProgramWithoutWindows);
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
    areaWait.start(graceMs);
}

void frmRightClick::notificationAreaAppeared()
{
    endWithLastWindow(false);
    std::fprintf(stderr, "zentyr: a notification area appeared; the tray icon is there.\n");
}

// Without a notification area nothing would be left to reach or end the program once its windows
// are gone, so it ends with its last window instead, or at once with "hideruler". The user is told
// once, in a box: a program started from a menu has no standard error to read. The box has the stop
// icon when the program ends because of it, none when it goes on.
void frmRightClick::noNotificationArea()
{
    if (!areaWait.waiting())
        return;
    const QString waited = QStringLiteral("No notification area (system tray) appeared on this desktop within %1, "
                                          "so Zentyr has no tray icon.")
                               .arg(seconds(areaWait.graceMs()));
    if (commandLine() == QLatin1String("hideruler")) {
        std::fprintf(stderr,
                     "zentyr: this desktop has no notification area (system tray), and with \"hideruler\" "
                     "nothing would be on screen; ending.\n");
        Timer1.stop();
        areaWait.stop();
        services().msgBox(waited
                              + QStringLiteral(" Started with \"hideruler\", it would have nothing on screen, "
                                               "so it ends now."),
                          vbCritical, applicationTitle());
        services().shellNotifyIcon(NIM_DELETE, nid);
        services().endProgram();
        return;
    }
    std::fprintf(stderr,
                 "zentyr: this desktop has no notification area (system tray); Zentyr ends when its last "
                 "window is closed.\n");
    services().msgBox(waited + QStringLiteral(" It ends when its last window is closed."), vbOKOnly,
                      applicationTitle());
    // A host that appears later still gets the icon, and then the program stays.
    if (!areaWait.waiting())
        return;
    endWithLastWindow(true);
    if (!OpenForms::anyOnScreen())
        endProgramWithoutWindows();
}

void frmRightClick::trayMessage(int number)
{
    switch (number) {
    case 515: // left double-click
        showForm<frmRuler>();
        break;
    case 517: // right button released
        popupMenu(mnuShutDown);
        break;
    default: break;
    }
}

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
    services().shellNotifyIcon(NIM_DELETE, nid);
    services().endProgram();
}

} // namespace zentyr

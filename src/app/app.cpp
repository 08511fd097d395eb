// SPDX-License-Identifier: MIT
#include "app/app.h"
#include "app/module1.h"
#include "platform/system/msgbox.h"
#include "platform/system/services.h"
#include "rulers/rulerhost.h"
#include "version.h"

namespace zentyr {

static QString g_commandLine;

QString commandLine() { return g_commandLine; }
void setCommandLine(const QString &line) { g_commandLine = line; }

QString startText(const QStringList &args)
{
    if (args == QStringList{QStringLiteral("--version")})
        return QStringLiteral("Zentyr %1\n").arg(QLatin1String(version::FileVersion));
    if (args != QStringList{QStringLiteral("--help")})
        return {};
    return QStringLiteral("Usage: zentyr [hideruler]\n"
                          "Zentyr is a screen ruler that lives in the notification area (system tray) and\n"
                          "shows a horizontal inch ruler that stays on top of every window; right-click a\n"
                          "ruler for more rulers, Help and About.\n"
                          "\n"
                          "  hideruler   start with only the tray icon, no ruler\n"
                          "  --help      print this help and exit\n"
                          "  --version   print the version and exit\n"
                          "\n"
                          "Keys on a ruler (click it first):\n"
                          "  arrows                move it by 1 pixel, with Shift by 10\n"
                          "  Page Down, Page Up    step it by its own height (the vertical ruler by\n"
                          "                        its width, right and left), up to the monitor's edge\n"
                          "  Menu, Shift+F10       open its menu\n"
                          "\n"
                          "More in its manual page: man zentyr\n");
}

bool previousInstanceGuard()
{
    if (!services().previousInstance())
        return false;
    services().msgBox(QStringLiteral("Zentyr is already running !"), MessageStyle::Critical,
                      QStringLiteral("Look in the system tray next to the time at the bottom of the screen."));
    services().endProgram();
    return true;
}

void installAppHost() { rulerHost = {previousInstanceGuard, ShowInfoScreen}; }

} // namespace zentyr

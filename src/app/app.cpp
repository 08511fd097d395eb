// SPDX-License-Identifier: MIT
#include "app/app.h"
#include "app/module1.h"
#include "platform/forms/msgbox.h"
#include "platform/system/services.h"
#include "rulers/rulerhost.h"

namespace zentyr {

static QString g_commandLine;

QString commandLine() { return g_commandLine; }
void setCommandLine(const QString &line) { g_commandLine = line; }
QString joinArguments(const QStringList &args) { return args.join(QLatin1Char(' ')); }

bool previousInstanceGuard(const std::function<void()> &beforeEnd)
{
    if (!services().previousInstance())
        return false;
    services().msgBox(QStringLiteral("Zentyr is already running !"), vbCritical,
                      QStringLiteral("Look in the system tray next to the time at the bottom of the screen."));
    if (beforeEnd)
        beforeEnd();
    services().endProgram();
    return true;
}

void installAppHost()
{
    class AppHost : public RulerHost {
        bool previousInstanceGuard() override { return zentyr::previousInstanceGuard(); }
        void showInfoScreen() override { ShowInfoScreen(); }
    };
    static AppHost host;
    setRulerHost(&host);
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "app/app.h"
#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/runtimedir.h"
#include "platform/system/services.h"
#include "platform/system/windowsystem.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

// The rulers need windows that stay on top, open where they are placed and are cut to
// shape: X gives all three, a native Wayland session none of them. So where the user
// has chosen no platform and an X display answers (XWayland included), run on X.
// Returns false when there is no desktop to show anything on, a DISPLAY left over from
// a session that is gone included.
static bool choosePlatform(int argc, char *argv[])
{
#if !defined(Q_OS_UNIX) || defined(Q_OS_DARWIN)
    // Windows and macOS have one desktop and no display variables.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#else
    bool chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    for (int i = 1; i < argc && !chosen; ++i)
        chosen = std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0;
    if (chosen)
        return true;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && zentyr::x11DisplayReachable()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

int main(int argc, char *argv[])
{
    // The argument string as given, before Qt takes its own options out of argv.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    // Answered before anything needs a display or takes the lock.
    if (const auto action = zentyr::startAction(args); action != zentyr::StartAction::Run) {
        const QString text = action == zentyr::StartAction::Help ? zentyr::helpText() : zentyr::versionText();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    if (!choosePlatform(argc, argv)) {
        std::fputs("Zentyr needs a graphical desktop: no X11 or Wayland display found\n", stderr);
        return 1;
    }

    zentyr::provideRuntimeDir();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zentyr"));
    // The program lives in the notification area; closing a window never ends it.
    app.setQuitOnLastWindowClosed(false);

    // The answer is taken now, as this copy starts, and kept.
    zentyr::services().previousInstance();

    zentyr::setCommandLine(zentyr::joinArguments(args));

    zentyr::showForm<zentyr::frmSplash>();
    return app.exec();
}

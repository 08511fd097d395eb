// SPDX-License-Identifier: MIT
#include "app/app.h"
#include "platform/forms/formregistry.h"
#include "app/frmsplash.h"
#include "platform/system/runtimedir.h"
#include "platform/system/services.h"
#include "platform/system/windowsystem.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>

#include <cstdio>

// The program's windows are windows to a screen reader too, each naming and describing itself as
// the rulers' captions stay empty (Qt takes a plain top-level widget for a filler); the menus keep
// their own kind.
static QAccessibleInterface *windowInterface(const QString &, QObject *o)
{
    auto *form = qobject_cast<zentyr::Form *>(o);
    if (form && form->isWindow())
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

int main(int argc, char *argv[])
{
    // The argument string as given, before Qt takes its own options out of argv.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    // Answered before anything needs a display or takes the lock.
    if (const QString text = zentyr::startText(args); !text.isEmpty()) {
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    if (!zentyr::chooseDisplayPlatform(argc, argv)) {
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

    zentyr::setCommandLine(args.join(QLatin1Char(' ')));
    zentyr::installAppHost();
    QAccessible::installFactory(windowInterface);

    zentyr::showForm<zentyr::frmSplash>();
    return app.exec();
}

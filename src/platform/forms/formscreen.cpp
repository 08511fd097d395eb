// SPDX-License-Identifier: MIT
// A form's place among the screens: the primary screen, centring, and its size kept
// when it moves to a screen with another scale.
#include "platform/forms/form.h"
#include "platform/forms/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace zentyr {

QRect Form::primaryScreenPixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect Form::screenOfCentrePixels() const
{
    if (const QScreen *screen = QGuiApplication::screenAt(geometry().center()))
        return screen->geometry();
    return primaryScreenPixels();
}

void Form::centreOnScreen(const QRect &screenPixels)
{
    if (screenPixels.isEmpty())
        return;
    move(centredPixels(screenPixels, size()));
}

// The window system moves a window to another screen in device pixels: on one with
// another scale factor its logical size changes with it. The size it had before the
// change is put back once the change has been handled.
void Form::screenChanged()
{
    if (!isVisible())
        return;
    const QSize before = size();
    QTimer::singleShot(0, this, [this, before] {
        if (m_unloading || size() == before)
            return;
        resize(before);
        sizeMaybeChanged();
    });
}

} // namespace zentyr

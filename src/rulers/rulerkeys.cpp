// SPDX-License-Identifier: MIT
#include "rulers/rulerkeys.h"
#include "rulers/rulerform.h"
#include "platform/system/windowsystem.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <iterator>

namespace zentyr {

std::optional<QRect> keyedGeometry(const QRect &outer, int key, Qt::KeyboardModifiers mods, PageStep page,
                                   const QRect &available)
{
    mods &= ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier && mods != Qt::ShiftModifier)
        return std::nullopt;
    const int by = mods == Qt::ShiftModifier ? 10 : 1;
    switch (key) {
    case Qt::Key_Left: return outer.translated(-by, 0);
    case Qt::Key_Right: return outer.translated(by, 0);
    case Qt::Key_Up: return outer.translated(0, -by);
    case Qt::Key_Down: return outer.translated(0, by);
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: break;
    default: return std::nullopt;
    }
    if (page == PageStep::None || mods != Qt::NoModifier)
        return std::nullopt;
    // The full length, else up to the edge it meets; never backwards.
    const bool down = page == PageStep::Down, forward = key == Qt::Key_PageDown;
    const int room = down ? (forward ? available.bottom() - outer.bottom() : outer.top() - available.top())
                          : (forward ? available.right() - outer.right() : outer.left() - available.left());
    const int d = std::clamp(room, 0, down ? outer.height() : outer.width()) * (forward ? 1 : -1);
    return down ? outer.translated(0, d) : outer.translated(d, 0);
}

bool opensMenu(int key, Qt::KeyboardModifiers mods)
{
    mods &= ~Qt::KeypadModifier;
    return (key == Qt::Key_Menu && mods == Qt::NoModifier) || (key == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

// Where a menu opened by keys shows: the middle of the ruler, or of the part a mask leaves of it.
static QPoint menuAnchor(const QWidget *window)
{
    QPoint local = window->rect().center();
    const QRegion mask = window->mask();
    if (!mask.isEmpty() && !mask.contains(local))
        local = std::prev(mask.end())->center(); // the lowest band of the mask
    return window->mapToGlobal(local);
}

void RulerForm::keyPressEvent(QKeyEvent *e)
{
    if (opensMenu(e->key(), e->modifiers()))
        return popupMenu(mnuFile, menuAnchor(this));
    const QRect outer = frameGeometry();
    const QScreen *screen = QGuiApplication::screenAt(outer.center());
    if (!screen)
        screen = this->screen();
    const std::optional<QRect> to = keyedGeometry(outer, e->key(), e->modifiers(), m_design.pageStep,
                                                  screen ? screen->availableGeometry() : outer);
    if (!to)
        return Form::keyPressEvent(e);
    // Qt's move is the window system's where it allows one (X11 with or without a window manager,
    // Windows); a Wayland compositor places windows itself and may ignore it.
    move(to->topLeft());
}

// Windows turns Shift+F10 and the Menu key into a context-menu request once the key is released, after
// its own handling of F10 has closed a menu opened on the press.
void RulerForm::contextMenuEvent(QContextMenuEvent *e)
{
    if (e->reason() == QContextMenuEvent::Keyboard)
        popupMenu(mnuFile, menuAnchor(this));
}

} // namespace zentyr

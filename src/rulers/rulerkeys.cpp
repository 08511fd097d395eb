// SPDX-License-Identifier: MIT
#include "rulers/rulerkeys.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <iterator>

namespace zentyr {

PageStep pageStepOf(const QString &windowName)
{
    // The angle ruler has no line to step to.
    static const struct {
        const char *name;
        PageStep step;
    } table[] = {{"frmRuler", PageStep::Down}, {"frmRulerMetric", PageStep::Down}, {"frmVRuler", PageStep::Right}};
    for (const auto &row : table)
        if (windowName == QLatin1String(row.name))
            return row.step;
    return PageStep::None;
}

// How far a Page step goes: its full length, else up to the edge it meets, never backwards.
static int pageDistance(int length, int room) { return std::clamp(room, 0, length); }

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
    const bool forward = key == Qt::Key_PageDown;
    // Right and bottom edges are exclusive here: x + width, y + height.
    if (page == PageStep::Down) {
        const int room
            = forward ? available.y() + available.height() - (outer.y() + outer.height()) : outer.y() - available.y();
        const int d = pageDistance(outer.height(), room);
        return outer.translated(0, forward ? d : -d);
    }
    const int room
        = forward ? available.x() + available.width() - (outer.x() + outer.width()) : outer.x() - available.x();
    const int d = pageDistance(outer.width(), room);
    return outer.translated(forward ? d : -d, 0);
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

void openMenuAtRuler(QWidget *window, QMenu *menu)
{
    if (!menu)
        return;
    menu->setActiveAction(nullptr);
    menu->popup(menuAnchor(window));
}

bool rulerKeyPress(QWidget *window, QMenu *menu, const QKeyEvent *e)
{
    if (opensMenu(e->key(), e->modifiers())) {
        openMenuAtRuler(window, menu);
        return true;
    }
    const QRect outer = window->frameGeometry();
    const QScreen *screen = QGuiApplication::screenAt(outer.center());
    if (!screen)
        screen = window->screen();
    const std::optional<QRect> to = keyedGeometry(outer, e->key(), e->modifiers(), pageStepOf(window->objectName()),
                                                  screen ? screen->availableGeometry() : outer);
    if (!to)
        return false;
    // Qt's move is the window system's where it allows one (X11 with or without a window manager,
    // Windows); a Wayland compositor places windows itself and may ignore it.
    window->move(to->topLeft());
    return true;
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
// Input through xdotool, which drives the X server's XTEST extension like a real mouse and keyboard.
#include "desktop_p.h"

#include <QRegularExpression>
#include <QThread>

#include <cmath>

namespace e2e {

void Desktop::Impl::beforePress(int button)
{
    if (lastPress.isValid() && lastPressButton == button && lastPress.elapsed() < kClickGapMs)
        QThread::msleep(kClickGapMs - lastPress.elapsed());
}

void Desktop::Impl::pressed(int button)
{
    lastPress.start();
    lastPressButton = button;
}

namespace {
QStringList moveArgs(int x, int y)
{
    QStringList a{QStringLiteral("mousemove")};
    if (x < 0 || y < 0)
        a << QStringLiteral("--"); // negative numbers would read as options
    return a << QString::number(x) << QString::number(y);
}

QString seconds(int ms) { return QString::number(std::max(ms, 0) / 1000.0, 'f', 3); }
} // namespace

bool Desktop::mouseMove(int x, int y) { return run(QStringLiteral("xdotool"), moveArgs(x, y)).ok(); }

bool Desktop::mouseDown(int button)
{
    d->beforePress(button);
    const bool ok = run(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QString::number(button)}).ok();
    d->pressed(button);
    return ok;
}

bool Desktop::mouseUp(int button)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QString::number(button)}).ok();
}

bool Desktop::click(int button, int repeat, int delayMs)
{
    d->beforePress(button);
    const bool ok = run(QStringLiteral("xdotool"),
                        {QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(std::max(repeat, 1)),
                         QStringLiteral("--delay"), QString::number(std::max(delayMs, 0)), QString::number(button)})
                        .ok();
    d->pressed(button);
    return ok;
}

bool Desktop::clickAt(QPoint p, int button, int repeat) { return mouseMove(p) && click(button, repeat); }

bool Desktop::drag(QPoint from, QPoint to, int button, int steps, int stepDelayMs)
{
    // One xdotool run keeps the step timing even when the machine is busy.
    steps = std::max(steps, 1);
    const QString b = QString::number(button);
    QStringList a = moveArgs(from.x(), from.y());
    a << QStringLiteral("sleep") << seconds(stepDelayMs) << QStringLiteral("mousedown") << b;
    // Like a real mouse, the first motion is tiny: a program that starts a system move on its
    // first motion event hands the WM the pointer position of that moment, and everything before
    // it is lost. The pause lets even a busy program get there before the big steps.
    QPoint start = from;
    const QPoint delta = to - from;
    const double length = std::hypot(double(delta.x()), double(delta.y()));
    if (length >= 4) {
        start = from + QPoint(qRound(2 * delta.x() / length), qRound(2 * delta.y() / length));
        a << QStringLiteral("sleep") << seconds(stepDelayMs) << moveArgs(start.x(), start.y())
          << QStringLiteral("sleep") << seconds(std::max(stepDelayMs, 150));
    }
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = start + (to - start) * i / steps;
        a << QStringLiteral("sleep") << seconds(stepDelayMs) << moveArgs(p.x(), p.y());
    }
    a << QStringLiteral("sleep") << seconds(stepDelayMs) << QStringLiteral("mouseup") << b;
    d->beforePress(button);
    const bool ok = run(QStringLiteral("xdotool"), a, 10000 + steps * (stepDelayMs + 50)).ok();
    d->pressed(button);
    return ok;
}

bool Desktop::key(const QString &keys, int delayMs)
{
    QStringList a{QStringLiteral("key"), QStringLiteral("--delay"), QString::number(std::max(delayMs, 0))};
    a += keys.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    return a.size() > 3 && run(QStringLiteral("xdotool"), a).ok();
}

bool Desktop::type(const QString &text, int delayMs)
{
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(std::max(delayMs, 0)),
                QStringLiteral("--"), text},
               10000 + int(text.size()) * (delayMs + 50))
        .ok();
}

bool Desktop::chooseMenuItemByKeys(int index)
{
    if (index < 0)
        return false;
    // An item under the pointer is the current one and Down would start from it: move off the menu,
    // which clears it.
    const QList<WindowId> menus = popupMenus(QString());
    const QRect mg = menus.isEmpty() ? QRect() : geometry(menus.last());
    const QPoint c = d->cursorPos();
    if (mg.contains(c)) {
        const QRect screen(QPoint(0, 0), d->screenSize);
        for (const QPoint p : {QPoint(mg.left() - 10, c.y()), QPoint(mg.right() + 10, c.y()),
                               QPoint(c.x(), mg.top() - 10), QPoint(c.x(), mg.bottom() + 10)}) {
            if (screen.contains(p)) {
                if (!mouseMove(p))
                    return false;
                QThread::msleep(150);
                break;
            }
        }
    }
    QStringList keys;
    for (int i = 0; i <= index; ++i)
        keys << QStringLiteral("Down");
    keys << QStringLiteral("Return");
    return key(keys.join(QLatin1Char(' ')), 60);
}

// Each menu's items that keys reach (no separators), in order.
static QStringList menuItems(Menu menu)
{
    switch (menu) {
    case Menu::StandardRuler:
        return {"Hide Ruler",  "Metric Ruler",    "Vertical Ruler", "45-Angle",
                "Normal Size", "Display Picture", "Help",           "About"};
    case Menu::MetricRuler: return {"Hide Metric Ruler", "Standard Ruler", "Normal Size", "Help"};
    case Menu::VerticalRuler: return {"Hide Vertical Ruler", "Standard Ruler", "Normal Size", "Help"};
    case Menu::AngleRuler: return {"Hide 45Angle", "Help"};
    case Menu::Tray: return {"About Zentyr", "Help", "Show Standard Ruler", "Show Vertical Ruler", "Exit Zentyr"};
    }
    return {};
}

bool Desktop::chooseMenuItem(Menu menu, const QString &caption)
{
    const qsizetype index = menuItems(menu).indexOf(caption);
    if (index < 0)
        qWarning("e2e: no menu item \"%s\"", qPrintable(caption));
    return index >= 0 && chooseMenuItemByKeys(int(index));
}

bool Desktop::chooseFromMenuAt(QPoint p, Menu menu, const QString &caption)
{
    return clickAt(p, 3) && waitForPopupMenu(3000) && chooseMenuItem(menu, caption);
}

} // namespace e2e

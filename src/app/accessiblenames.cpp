// SPDX-License-Identifier: MIT
#include "app/accessiblenames.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QWidget>

namespace zentyr {

namespace {

struct AccessibleText {
    const char *window; // the window's object name
    const char *name;
    const char *description;
};

const AccessibleText texts[] = {
    {"frmRuler", "Zentyr standard ruler",
     "Horizontal inch ruler. Arrow keys move it, Page Down and Page Up by its height; the Menu key opens its menu."},
    {"frmRulerMetric", "Zentyr metric ruler",
     "Horizontal metric ruler. Arrow keys move it, Page Down and Page Up by its height; the Menu key opens its menu."},
    {"frmVRuler", "Zentyr vertical ruler",
     "Vertical ruler. Arrow keys move it, Page Down and Page Up by its width; the Menu key opens its menu."},
    {"frm45Angle", "Zentyr angle ruler", "45-degree angle ruler. Arrow keys move it; the Menu key opens its menu."},
    {"frmSplash", "Zentyr information", "Version, help and how to reach the makers of Zentyr."},
};

const AccessibleText *accessibleTextOf(const QString &windowName)
{
    for (const AccessibleText &t : texts)
        if (windowName == QLatin1String(t.window))
            return &t;
    return nullptr;
}

// Names a window, or a ruler's menu after its ruler, as it is about to show; the captions stay.
class Namer : public QObject {
protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::Show || !o->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(o);
        const bool menu = qobject_cast<QMenu *>(w) && w->parentWidget();
        if (!w->isWindow() || !w->accessibleName().isEmpty())
            return false;
        const AccessibleText *t = accessibleTextOf(menu ? w->parentWidget()->objectName() : w->objectName());
        if (!t)
            return false;
        w->setAccessibleName(menu ? QStringLiteral("%1 menu").arg(QLatin1String(t->name)) : QLatin1String(t->name));
        if (!menu)
            w->setAccessibleDescription(QLatin1String(t->description));
        return false;
    }
};

// The program's windows are windows to a screen reader too (Qt takes a plain top-level widget
// for a filler); the menus keep their own kind.
QAccessibleInterface *windowInterface(const QString &, QObject *o)
{
    auto *w = qobject_cast<QWidget *>(o);
    if (w && w->isWindow() && !qobject_cast<QMenu *>(w) && accessibleTextOf(w->objectName()))
        return new QAccessibleWidget(w, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibleNames()
{
    static auto *namer = new Namer; // for the whole run
    qApp->installEventFilter(namer);
    QAccessible::installFactory(windowInterface);
}

} // namespace zentyr

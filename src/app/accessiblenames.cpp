// SPDX-License-Identifier: MIT
#include "app/accessiblenames.h"
#include "rulers/rulerform.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QWidget>

#include <utility>

namespace zentyr {

namespace {

// A window's name and description, by its object name: a ruler's from its design, the information
// window's its own. By name, as the window may ask for its interface before it is fully built.
std::optional<std::pair<QString, QString>> textsOf(const QString &window)
{
    for (const RulerDesign &d : rulerDesigns()) {
        if (window != QLatin1String(d.name))
            continue;
        QString page;
        if (d.pageStep != PageStep::None)
            page = QStringLiteral(", Page Down and Page Up by its %1")
                       .arg(d.pageStep == PageStep::Down ? QStringLiteral("height") : QStringLiteral("width"));
        return std::pair(QString::fromLatin1(d.accessibleName),
                         QStringLiteral("%1. Arrow keys move it%2; the Menu key opens its menu.")
                             .arg(QLatin1String(d.accessibleKind), page));
    }
    if (window == QLatin1String("frmSplash"))
        return std::pair(QStringLiteral("Zentyr information"),
                         QStringLiteral("Version, help and how to reach the makers of Zentyr."));
    return std::nullopt;
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
        const auto texts = textsOf((menu ? w->parentWidget() : w)->objectName());
        if (!texts)
            return false;
        if (menu) {
            w->setAccessibleName(QStringLiteral("%1 menu").arg(texts->first));
        } else {
            w->setAccessibleName(texts->first);
            w->setAccessibleDescription(texts->second);
        }
        return false;
    }
};

// The program's windows are windows to a screen reader too (Qt takes a plain top-level widget
// for a filler); the menus keep their own kind.
QAccessibleInterface *windowInterface(const QString &, QObject *o)
{
    auto *w = qobject_cast<QWidget *>(o);
    if (w && w->isWindow() && !qobject_cast<QMenu *>(w) && textsOf(w->objectName()))
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

// SPDX-License-Identifier: MIT
#include "app/accessiblenames.h"
#include "platform/forms/form.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace zentyr {

// The program's windows are windows to a screen reader too (Qt takes a plain top-level widget
// for a filler); the menus keep their own kind.
static QAccessibleInterface *windowInterface(const QString &, QObject *o)
{
    auto *form = qobject_cast<Form *>(o);
    if (form && form->isWindow())
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

void installAccessibleNames() { QAccessible::installFactory(windowInterface); }

} // namespace zentyr

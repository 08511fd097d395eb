// SPDX-License-Identifier: MIT
#include "platform/forms/commands.h"

namespace zentyr {

QAction *addMenuItem(QMenu *menu, const char *name, const char *caption, const char *keys)
{
    QAction *a = caption ? menu->addAction(QString::fromUtf8(caption)) : menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    if (keys)
        a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
    return a;
}

} // namespace zentyr

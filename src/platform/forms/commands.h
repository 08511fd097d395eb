// SPDX-License-Identifier: MIT
#pragma once
#include "platform/forms/formregistry.h"

#include <QMenu>
#include <span>
#include <type_traits>

namespace zentyr {

// A menu command: the item's object name, its caption (none for a separator line), what it does
// to the window that owns the menu, and room for a key sequence (none yet).
template <class Owner> struct Command {
    const char *name;
    const char *caption = nullptr;
    void (*run)(Owner &) = nullptr;
    const char *keys = nullptr;
};

// A menu of owner's, not shown until it pops up, with one item per command in order. A window
// owns its menu; any other owner deletes it itself.
template <class Owner>
QMenu *buildMenu(Owner &owner, const QString &name, const QString &title, std::span<const Command<Owner>> commands)
{
    constexpr bool window = std::is_base_of_v<QWidget, Owner>;
    QWidget *parent = nullptr;
    if constexpr (window)
        parent = &owner;
    auto *menu = new QMenu(title, parent);
    menu->setObjectName(name);
    for (const Command<Owner> &c : commands) {
        QAction *a = c.caption ? menu->addAction(QString::fromUtf8(c.caption)) : menu->addSeparator();
        a->setObjectName(QString::fromLatin1(c.name));
        if (c.run)
            QObject::connect(a, &QAction::triggered, &owner, [&owner, run = c.run] { run(owner); });
        // A hidden menu's keys work only through the window.
        if constexpr (window) {
            if (c.keys) {
                a->setShortcut(QKeySequence(QString::fromLatin1(c.keys)));
                owner.addAction(a);
            }
        }
    }
    return menu;
}

// The command that opens a window of kind F, or brings it to the front.
template <class F, class Owner> void showFormCommand(Owner &) { showForm<F>(); }

} // namespace zentyr

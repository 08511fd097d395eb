// SPDX-License-Identifier: MIT
#pragma once
// Brings the program back to its start between test cases.
#include "platform/forms/formregistry.h"
#include "app/app.h"
#include "app/frmrightclick.h"
#include "app/frmsplash.h"
#include "rulers/frm45angle.h"
#include "rulers/frmruler.h"
#include "rulers/rulerform.h"

#include <QApplication>
#include <QMenu>

namespace zentyr::test {

// The rulers' host, installed as main() installs it, before any test loads a window.
inline const bool appHostInstalled = (installAppHost(), true);

inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void closePopups()
{
    while (QWidget *w = QApplication::activePopupWidget())
        w->close();
}

// The program's state back to its start between test cases: no window loaded, an empty command line.
inline void resetForms()
{
    closePopups();
    unloadAllForms();
    flushDeletes();
    setCommandLine(QString());
}

template <class F> bool isShown()
{
    F *f = loadedForm<F>();
    return f && f->isVisible();
}

// Captions of a menu's entries, "-" for a separator.
inline QStringList menuCaptions(const QMenu *menu)
{
    QStringList out;
    for (const QAction *a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

} // namespace zentyr::test

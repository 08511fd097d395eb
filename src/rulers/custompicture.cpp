// SPDX-License-Identifier: MIT
// "Display Picture": the standard ruler shows a picture file of the user's choice.
#include "platform/system/msgbox.h"
#include "platform/picture/picture.h"
#include "platform/system/services.h"
#include "platform/system/windowsystem.h"
#include "rulers/frmruler.h"

#include <QPointer>
#include <QScopeGuard>

#include <new>

namespace zentyr {

namespace {

// The picture error box, modal to the ruler only like the Open dialog: the error's number, the
// program as its source, and its description.
void showPictureError(QWidget *ruler, PictureError error)
{
    int number = 481;
    QString description = QStringLiteral("Invalid picture");
    if (error == PictureError::FileNotFound) {
        number = 53;
        description = QStringLiteral("File not found");
    } else if (error == PictureError::FileAccess) {
        number = 75;
        description = QStringLiteral("Path/File access error");
    } else if (error == PictureError::OutOfMemory) {
        number = 7;
        description = QStringLiteral("Out of memory");
    }
    services().msgBox(errorReportText(number, QStringLiteral("Zentyr"), description), MessageStyle::Plain, QString(),
                      ruler);
}

} // namespace

void frmRuler::mnuPicture_Click()
{
    QPointer<frmRuler> self(this);
    setMousePointer(11);
    // The default pointer comes back on every way out, the error box included.
    const auto restorePointer = qScopeGuard([] { setMousePointer(0); });
    dlgCommonDialog.DialogTitle = QStringLiteral("Open");
    dlgCommonDialog.CancelError = true;
    dlgCommonDialog.Filter = QString::fromLatin1(PictureFilter);
    const OpenResult chosen = services().showOpen(
        this, OpenRequest{dlgCommonDialog.DialogTitle, dlgCommonDialog.Filter, dlgCommonDialog.FileName});
    // Cancel ends the command silently, and so does an empty name. The dialog blocks only this
    // ruler: the tray and the other rulers' handlers run while it waits and may have unloaded it.
    if (chosen.cancelled || chosen.fileName.isEmpty() || !self)
        return;
    dlgCommonDialog.FileName = chosen.fileName;
    doEvents();
    if (!self)
        return;
    try {
        PictureResult loaded = loadPictureFile(chosen.fileName);
        if (loaded.error != PictureError::None)
            return showPictureError(this, loaded.error);
        Image1->setPicture(std::move(loaded.image));
        doEvents();
    } catch (const std::bad_alloc &) {
        showPictureError(this, PictureError::OutOfMemory);
    }
}

} // namespace zentyr

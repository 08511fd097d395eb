// SPDX-License-Identifier: MIT
// "Display Picture": the standard ruler shows a picture file of the user's choice.
#include "platform/system/msgbox.h"
#include "platform/forms/vberror.h"
#include "platform/picture/picture.h"
#include "platform/system/services.h"
#include "platform/system/windowsystem.h"
#include "rulers/frmruler.h"

#include <QPointer>
#include <QScopeGuard>

#include <new>

namespace zentyr {

namespace {

// The error the picture box reports for a loader failure; the program names itself as source.
VbError pictureLoadError(PictureError error)
{
    const QString source = QStringLiteral("Zentyr");
    switch (error) {
    case PictureError::FileNotFound: return VbError(ErrFileNotFound, source, QStringLiteral("File not found"));
    case PictureError::FileAccess: return VbError(ErrPathFileAccess, source, QStringLiteral("Path/File access error"));
    case PictureError::OutOfMemory: return VbError(ErrOutOfMemory, source, QStringLiteral("Out of memory"));
    case PictureError::None:
    case PictureError::InvalidPicture: break;
    }
    return VbError(ErrInvalidPicture, source, QStringLiteral("Invalid picture"));
}

// Modal to the ruler only, like the Open dialog.
void showPictureError(QWidget *ruler, const VbError &e)
{
    services().msgBox(errorReportText(e.number, e.source, e.description), MessageStyle::Plain, QString(), ruler);
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
            return showPictureError(this, pictureLoadError(loaded.error));
        Image1->setPicture(std::move(loaded.image));
        doEvents();
    } catch (const std::bad_alloc &) {
        showPictureError(this, pictureLoadError(PictureError::OutOfMemory));
    }
}

} // namespace zentyr

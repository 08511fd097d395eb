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
#include <utility>

namespace zentyr {

namespace {

// The error's number and description, as the picture error box reports them.
std::pair<int, const char *> errorReport(PictureError error)
{
    switch (error) {
    case PictureError::FileNotFound: return {53, "File not found"};
    case PictureError::FileAccess: return {75, "Path/File access error"};
    case PictureError::OutOfMemory: return {7, "Out of memory"};
    default: return {481, "Invalid picture"};
    }
}

// The picture error box, modal to the ruler only like the Open dialog: the error's number, the
// program as its source, and its description.
void showPictureError(QWidget *ruler, PictureError error)
{
    const auto [number, description] = errorReport(error);
    services().msgBox(errorReportText(number, QStringLiteral("Zentyr"), QString::fromLatin1(description)),
                      MessageStyle::Plain, QString(), ruler);
}

} // namespace

void frmRuler::mnuPicture_Click()
{
    QPointer<frmRuler> self(this);
    setMousePointer(11);
    // The default pointer comes back on every way out, the error box included.
    const auto restorePointer = qScopeGuard([] { setMousePointer(0); });
    const OpenResult chosen = services().showOpen(this, dlgCommonDialog);
    // Cancel ends the command silently, and so does an empty name. The dialog blocks only this
    // ruler: the tray and the other rulers' handlers run while it waits and may have unloaded it.
    if (chosen.cancelled || chosen.fileName.isEmpty() || !self)
        return;
    dlgCommonDialog.fileName = chosen.fileName;
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

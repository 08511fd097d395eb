// SPDX-License-Identifier: MIT
#include "platform/system/filedialog.h"

#include <QSettings>

namespace zentyr {

// X11 has no dialog of the system's own to call: Qt's is used.
bool showSystemOpenDialog(QWidget *, const OpenRequest &, OpenResult *) { return false; }

// The program keeps no settings between runs, but Qt's file dialog saves its folder, history
// and layout to the user's QtProject.conf (the native format) and reads them back. Pointing
// Qt's per-user settings below /dev/null, where no folder can ever be made, leaves that state in
// memory for the run.
void keepNoDialogSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null/zentyr"));
}

} // namespace zentyr

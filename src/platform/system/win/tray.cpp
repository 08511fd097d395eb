// SPDX-License-Identifier: MIT
// The tray on Windows.
#include "platform/system/tray.h"

namespace zentyr {

// The shell's notification area belongs to the taskbar: it is always there.
bool notificationAreaExists() { return true; }

// The shell sends a click and a double-click apart, so a single click is only a click.
bool trayReportsDoubleClicks() { return true; }

} // namespace zentyr

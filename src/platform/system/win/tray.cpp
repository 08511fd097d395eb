// SPDX-License-Identifier: MIT
// The tray on Windows.
#include "platform/system/tray.h"

namespace zentyr {

// The shell's notification area belongs to the taskbar: it is always there.
bool notificationAreaExists() { return true; }

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "platform/system/filedialog.h"

namespace zentyr {

// Windows' own dialog shows the title and the filters as given.
bool systemDialogFits() { return true; }

// Qt keeps its dialog state in the registry here; the system dialog keeps its own history.
void keepNoDialogSettings() {}

} // namespace zentyr

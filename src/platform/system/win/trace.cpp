// SPDX-License-Identifier: MIT
#include "platform/system/trace.h"

namespace zentyr {

// Nothing times the start on Windows.
double msSinceProcessStart() { return -1; }

} // namespace zentyr

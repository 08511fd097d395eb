// SPDX-License-Identifier: MIT
// Windows cuts windows to their regions, and its notification area reports raw mouse input.
#include "platform/system/desktopsession.h"

namespace zentyr {

bool onXwayland() { return false; }

bool windowSystemCutsMasks() { return true; }

void watchTrayMenuRequests() { }

std::optional<QPoint> takeTrayMenuPoint() { return std::nullopt; }

} // namespace zentyr

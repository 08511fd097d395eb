// SPDX-License-Identifier: MIT
#pragma once

namespace zentyr {

// Opens the information window in its information role.
void ShowInfoScreen();

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
// Names and descriptions for screen readers. The rulers' captions stay empty, so a screen reader
// would have nothing to read for them without these.

namespace zentyr {

// Gives each window of the program, and each ruler's menu, its name and description as it is
// shown. Call once, after the application exists.
void installAccessibleNames();

} // namespace zentyr

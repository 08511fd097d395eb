// SPDX-License-Identifier: MIT
#pragma once
// The program's windows for screen readers. Each window names and describes itself, as the
// rulers' captions stay empty; this makes each of them a window to a screen reader.

namespace zentyr {

// Call once, after the application exists.
void installAccessibleNames();

} // namespace zentyr

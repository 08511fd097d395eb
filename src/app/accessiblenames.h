// SPDX-License-Identifier: MIT
#pragma once
// Names and descriptions for screen readers. The rulers' captions stay empty, so a screen reader
// would have nothing to read for them without these.

#include <QString>

namespace zentyr {

struct AccessibleText {
    const char *window; // the window's object name
    const char *name;
    const char *description;
};

// The name and description of a window of the program, by its object name; null when it has none.
const AccessibleText *accessibleTextOf(const QString &windowName);

// Gives each window of the program, and each ruler's menu, its name and description as it is
// first shown. Call once, after the application exists.
void installAccessibleNames();

} // namespace zentyr

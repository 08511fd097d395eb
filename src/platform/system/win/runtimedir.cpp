// SPDX-License-Identifier: MIT
#include "platform/system/runtimedir.h"

namespace zentyr {

// Windows has no XDG runtime folder; Qt does not look for one there.
bool privateRuntimeDir(const QString &) { return false; }
void provideRuntimeDir() { }

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
#include <QString>

namespace zentyr {

// True when path is a real folder (no symbolic link) that belongs to this user and is open
// to nobody else: mode 0700, exactly what Qt asks of XDG_RUNTIME_DIR.
bool privateRuntimeDir(const QString &path);

// Where XDG_RUNTIME_DIR is unset (root through su or sudo, mostly), points it at
// /run/user/<uid> when that is private, else at a private folder made in Qt's own place
// for it. Call before the application object exists.
void provideRuntimeDir();

} // namespace zentyr

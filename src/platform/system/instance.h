#pragma once
// The test for another running copy of the program, per user and desktop session.
#include <QString>

namespace zentyr {

// Whether another copy of the program runs for this user in this desktop session.
// The first call takes the answer (and the session's lock); later calls repeat it.
bool previousInstanceRunning();

// Where the lock lives: a folder only this user can write, or empty if none is found.
QString instanceLockPath();

} // namespace zentyr

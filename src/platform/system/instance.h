// SPDX-License-Identifier: MIT
#pragma once
// The test for another running copy of the program, one copy per user and display.
#include <QString>

namespace zentyr {

// Whether another copy of the program runs for this user on this display.
// The first call takes the answer (and the display's lock); later calls repeat it.
// When no lock can be taken the answer is false and standard error says why.
bool previousInstanceRunning();

// Takes this copy's lock for the life of the process: true when another copy holds it. Each
// operating system has its own.
bool anotherCopyHoldsTheLock();

} // namespace zentyr

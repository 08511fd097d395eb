// SPDX-License-Identifier: MIT
#pragma once
// The test for another running copy of the program, one copy per user and display.

namespace zentyr {

// Takes this copy's lock for the life of the process: true when another copy runs for this user on
// this display. Call once (Services::previousInstance keeps the answer). When no lock can be taken
// the answer is false and standard error says why. Each operating system has its own.
bool anotherCopyHoldsTheLock();

} // namespace zentyr

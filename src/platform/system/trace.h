// SPDX-License-Identifier: MIT
#pragma once

namespace zentyr {

// With ZENTYR_TRACE=1 in the environment, writes "zentyr: trace: <event> at <ms> ms (monotonic <ms>)"
// to standard error: milliseconds since the process started, and the CLOCK_MONOTONIC reading for a
// launcher that timed the start itself. Off by default; costs one check when off.
bool traceEnabled();
void traceEvent(const char *event);
// Milliseconds since the process started; -1 where unknown. Each operating system answers in a file of its own.
double msSinceProcessStart();

} // namespace zentyr

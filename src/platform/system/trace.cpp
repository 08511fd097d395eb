// SPDX-License-Identifier: MIT
#include "platform/system/trace.h"

#include <QtGlobal>

#include <chrono>
#include <cstdio>

namespace zentyr {

bool traceEnabled()
{
    static const bool on = qEnvironmentVariableIntValue("ZENTYR_TRACE") != 0;
    return on;
}

void traceEvent(const char *event)
{
    if (!traceEnabled())
        return;
    // The steady clock is CLOCK_MONOTONIC on Linux, so other processes can compare with it.
    const std::chrono::duration<double, std::milli> monotonic = std::chrono::steady_clock::now().time_since_epoch();
    std::fprintf(stderr, "zentyr: trace: %s at %.0f ms (monotonic %.3f)\n", event, msSinceProcessStart(),
                 monotonic.count());
    std::fflush(stderr);
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "platform/system/trace.h"

#include <QtGlobal>

#include <chrono>
#include <cstdio>
#include <ctime>

#ifdef Q_OS_LINUX
#include <cstring>
#include <unistd.h>
#endif

namespace zentyr {

namespace {

// The steady clock is CLOCK_MONOTONIC on Linux, so other processes can compare with it.
double monotonicMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

#ifdef CLOCK_BOOTTIME
double bootClockMs()
{
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The process's start in ms since boot (field 22 of /proc/self/stat, in clock ticks); -1 if unknown.
double processStartMs()
{
#ifdef Q_OS_LINUX
    std::FILE *f = std::fopen("/proc/self/stat", "r");
    if (!f)
        return -1;
    char buf[1024];
    const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    // The command name may hold blanks and parentheses: fields are counted after the last ')'.
    const char *p = std::strrchr(buf, ')');
    if (!p)
        return -1;
    unsigned long long start = 0;
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu", &start)
        != 1)
        return -1;
    return double(start) * 1e3 / double(sysconf(_SC_CLK_TCK));
#else
    return -1;
#endif
}
#endif

} // namespace

bool traceEnabled()
{
    static const bool on = qEnvironmentVariableIntValue("ZENTYR_TRACE") != 0;
    return on;
}

void traceEvent(const char *event)
{
    if (!traceEnabled())
        return;
    double sinceStart = -1;
#ifdef CLOCK_BOOTTIME
    if (const double start = processStartMs(); start >= 0)
        sinceStart = bootClockMs() - start;
#endif
    std::fprintf(stderr, "zentyr: trace: %s at %.0f ms (monotonic %.3f)\n", event, sinceStart, monotonicMs());
    std::fflush(stderr);
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
// The process's age on Unix: the boot clock against the start time in /proc (Linux).
#include "platform/system/trace.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace zentyr {

double msSinceProcessStart()
{
#ifdef CLOCK_BOOTTIME
    // The start is field 22 of /proc/self/stat, in clock ticks since boot.
    std::FILE *f = std::fopen("/proc/self/stat", "r");
    if (!f)
        return -1;
    char buf[1024];
    const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    // The command name may hold blanks and parentheses: fields are counted after the last ')'.
    const char *p = std::strrchr(buf, ')');
    unsigned long long start = 0;
    if (!p
        || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                       &start)
            != 1)
        return -1;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6 - double(start) * 1e3 / double(sysconf(_SC_CLK_TCK));
#else
    return -1;
#endif
}

} // namespace zentyr

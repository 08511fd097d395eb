// SPDX-License-Identifier: MIT
// The process's age on Unix: the boot clock against the start time in /proc (Linux).
#include "platform/system/trace.h"

#include <QFile>

#include <ctime>
#include <unistd.h>

namespace zentyr {

double msSinceProcessStart()
{
#ifdef CLOCK_BOOTTIME
    QFile file(QStringLiteral("/proc/self/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // The command name may hold blanks and parentheses: fields are counted after the last ')', the
    // state being field 3. The start is field 22, in clock ticks since boot.
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    bool ok = false;
    const unsigned long long start = fields.value(22 - 3).toULongLong(&ok);
    if (!ok)
        return -1;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6 - double(start) * 1e3 / double(sysconf(_SC_CLK_TCK));
#else
    return -1;
#endif
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
// Small /proc readers shared by the benchmark programs (Linux).
#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace bench {

inline double clockMs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// A field of /proc/<pid>/status (or .../task/<tid>/status) in its own unit (kB or a count); -1 if absent.
inline qint64 statusField(const QString &statusPath, const char *name)
{
    QFile f(statusPath);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray want = QByteArray(name) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(want))
            return line.mid(want.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

inline qint64 processField(qint64 pid, const char *name)
{
    return statusField(QStringLiteral("/proc/%1/status").arg(pid), name);
}

// Resident kB by mapping (file path, or [heap], [anon], /SYSV... for shared memory), largest first.
inline QList<QPair<QString, qint64>> residentByMapping(qint64 pid, int top)
{
    QFile f(QStringLiteral("/proc/%1/smaps").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, qint64> byName;
    QString current;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() >= 5 && parts[0].contains('-') && !line.endsWith(':')) {
            current = parts.size() >= 6 ? QString::fromUtf8(parts.mid(5).join(' ')) : QStringLiteral("[anon]");
        } else if (line.startsWith("Rss:")) {
            byName[current] += parts.value(1).toLongLong();
        }
    }
    QList<QPair<QString, qint64>> out;
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        out.append({it.key(), it.value()});
    std::sort(out.begin(), out.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    return out.mid(0, top);
}

struct ThreadSwitches {
    QString name;
    qint64 voluntary = 0;
    qint64 involuntary = 0;
};

// Context switches of every thread of a process, by thread id.
inline QList<QPair<qint64, ThreadSwitches>> threadSwitches(qint64 pid)
{
    QList<QPair<qint64, ThreadSwitches>> out;
    const QString taskDir = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tid : QDir(taskDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ThreadSwitches t;
        QFile comm(taskDir + QLatin1Char('/') + tid + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly))
            t.name = QString::fromUtf8(comm.readAll().trimmed());
        const QString status = taskDir + QLatin1Char('/') + tid + QStringLiteral("/status");
        t.voluntary = statusField(status, "voluntary_ctxt_switches");
        t.involuntary = statusField(status, "nonvoluntary_ctxt_switches");
        out.append({tid.toLongLong(), t});
    }
    return out;
}

} // namespace bench

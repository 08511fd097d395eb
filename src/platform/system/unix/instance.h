// SPDX-License-Identifier: MIT
#pragma once
// The Unix lock file behind the instance test: its folder, its name and taking it.
#include "platform/system/instance.h"

#include <QList>
#include <QString>

namespace zentyr {

// The display's identity, used in the lock's name. X11 names lose the screen number and
// a local host ("", "unix"): ":0", ":0.0", "unix:0" are one display, "otherhost:0" another.
// A Wayland display is its socket's resolved path. Without either, the platform's name.
QString displayKey(const QString &x11Display, const QString &waylandSocket, const QString &platform);
// The key of the display this process runs on, from its environment.
QString currentDisplayKey();

// A folder the lock may live in; `create` when this program may make it.
struct LockFolderCandidate {
    QString path;
    bool create = false;
};

// The same list for every copy of one user, whatever its environment:
// /run/user/<uid>, /tmp/zentyr-<uid>, <home>/.cache/zentyr (home from the user's account).
QList<LockFolderCandidate> lockFolderCandidates();

// The first candidate that is a folder of ours, closed to everyone else (no symlink, no
// group or other rights) and writable; empty if none is.
QString chooseLockFolder(const QList<LockFolderCandidate> &candidates);

enum class InstanceLock { First, Previous, Unguarded };

// Takes the lock `zentyr-<key>.lock` in `folder` for the life of the process.
// Unguarded (with `why` set) when the folder is empty or the lock file cannot be used.
InstanceLock takeInstanceLock(const QString &folder, const QString &key, QString *why);

} // namespace zentyr

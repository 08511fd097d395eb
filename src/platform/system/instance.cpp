// SPDX-License-Identifier: MIT
#include "platform/system/instance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zentyr {

// Letters, digits, '.' and '-' stay; a long name becomes a digest so it fits a file name.
static QString fileNamePart(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += (c.unicode() < 128 && (c.isLetterOrNumber() || c == u'.' || c == u'-')) ? c : QChar(u'_');
    if (out.size() > 120)
        out = QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
    return out;
}

QString displayKey(const QString &x11Display, const QString &waylandSocket, const QString &platform)
{
    if (!waylandSocket.isEmpty())
        return QStringLiteral("wayland-") + fileNamePart(waylandSocket);
    if (!x11Display.isEmpty()) {
        // [host]:number[.screen]; "unix" and no host both mean this machine's socket.
        const qsizetype colon = x11Display.lastIndexOf(u':');
        if (colon >= 0) {
            QString host = x11Display.left(colon);
            if (host.startsWith(QLatin1String("unix/")))
                host = host.mid(5);
            const QString number = x11Display.mid(colon + 1).section(u'.', 0, 0);
            bool isNumber = false;
            number.toUInt(&isNumber);
            if (isNumber && (host.isEmpty() || host == QLatin1String("unix")))
                return QStringLiteral("x11-") + number;
            if (isNumber)
                return QStringLiteral("x11-") + number + u'-' + fileNamePart(host);
        }
        return QStringLiteral("x11-") + fileNamePart(x11Display);
    }
    const QString name = fileNamePart(platform);
    return name.isEmpty() ? QStringLiteral("default") : name;
}

QString waylandSocketPath(const QString &waylandDisplay, const QString &runtimeDir)
{
    if (waylandDisplay.isEmpty())
        return {};
    if (waylandDisplay.startsWith(u'/'))
        return waylandDisplay;
    if (!runtimeDir.startsWith(u'/'))
        return {};
    return runtimeDir + u'/' + waylandDisplay;
}

static QString currentDisplayKey()
{
    QString socket = waylandSocketPath(qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
#ifdef Q_OS_UNIX
    if (!socket.isEmpty()) {
        char resolved[PATH_MAX];
        if (::realpath(QFile::encodeName(socket).constData(), resolved))
            socket = QFile::decodeName(resolved);
    }
#endif
    if (socket.isEmpty() && !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty())
        socket = qEnvironmentVariable("WAYLAND_DISPLAY"); // no runtime folder: the name alone
    return displayKey(qEnvironmentVariable("DISPLAY"), socket, QGuiApplication::platformName());
}

#ifdef Q_OS_UNIX

static QString lockFilePath(const QString &folder, const QString &key)
{
    return folder + QStringLiteral("/zentyr-") + key + QStringLiteral(".lock");
}

QList<LockFolderCandidate> lockFolderCandidates()
{
    const QString uid = QString::number(::getuid());
    QList<LockFolderCandidate> list{{QStringLiteral("/run/user/") + uid, false},
                                    {QStringLiteral("/tmp/zentyr-") + uid, true}};
    // The account's home, not $HOME, so that every copy finds the same folder.
    QString home;
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        home = QFile::decodeName(pw->pw_dir);
    if (home.isEmpty())
        home = qEnvironmentVariable("HOME");
    if (home.startsWith(u'/'))
        list.append({home + QStringLiteral("/.cache/zentyr"), true});
    return list;
}

// A folder owned by us, closed to everyone else and writable; a symlink or a folder that
// another user made is never trusted.
static bool privateFolder(const QByteArray &path, bool create)
{
    if (path.isEmpty() || path[0] != '/')
        return false;
    if (create) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash > 0)
            ::mkdir(path.left(slash).constData(), 0700); // ~/.cache; its own rights do not matter
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0077) == 0
        && ::access(path.constData(), W_OK | X_OK) == 0;
}

QString chooseLockFolder(const QList<LockFolderCandidate> &candidates)
{
    for (const LockFolderCandidate &c : candidates)
        if (privateFolder(QFile::encodeName(c.path), c.create))
            return c.path;
    return {};
}

InstanceLock takeInstanceLock(const QString &folder, const QString &key, QString *why)
{
    if (folder.isEmpty()) {
        if (why)
            *why = QStringLiteral("no private folder for the lock");
        return InstanceLock::Unguarded;
    }
    // An flock dies with its process, so a crashed or killed copy never blocks the next.
    const QString path = lockFilePath(folder, key);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (why)
            *why = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return InstanceLock::Unguarded;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return InstanceLock::Previous;
        if (why)
            *why = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err));
        return InstanceLock::Unguarded;
    }
    return InstanceLock::First; // the descriptor stays open, holding the lock, for the life of the process
}

#else

QList<LockFolderCandidate> lockFolderCandidates() { return {}; }
QString chooseLockFolder(const QList<LockFolderCandidate> &) { return {}; }
InstanceLock takeInstanceLock(const QString &, const QString &, QString *why)
{
    if (why)
        *why = QStringLiteral("no lock on this system");
    return InstanceLock::Unguarded;
}

#endif

QString instanceLockPath()
{
#ifdef Q_OS_UNIX
    const QString folder = chooseLockFolder(lockFolderCandidates());
    if (folder.isEmpty())
        return {};
    return lockFilePath(folder, currentDisplayKey());
#else
    return QStringLiteral("Local\\Zentyr-") + currentDisplayKey() + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
#endif
}

static bool takeLock()
{
#ifdef Q_OS_WIN
    const std::wstring name = instanceLockPath().toStdWString();
    HANDLE h = ::CreateMutexW(nullptr, FALSE, name.c_str());
    return h && ::GetLastError() == ERROR_ALREADY_EXISTS;
#else
    QString why;
    const InstanceLock lock = takeInstanceLock(chooseLockFolder(lockFolderCandidates()), currentDisplayKey(), &why);
    if (lock == InstanceLock::Unguarded) {
        // Never keep the user from the program: run without the check and say so.
        std::fprintf(stderr, "zentyr: cannot tell whether another copy runs (%s); starting anyway\n",
                     qPrintable(why));
        std::fflush(stderr);
    }
    return lock == InstanceLock::Previous;
#endif
}

bool previousInstanceRunning()
{
    static const bool answer = takeLock();
    return answer;
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
// One copy per user and display on Unix: an flock on a file in a private folder of the user's.
#include "platform/system/unix/instance.h"
#include "platform/system/runtimedir.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
        QString host = x11Display.left(colon);
        if (host.startsWith(QLatin1String("unix/")))
            host = host.mid(5);
        const QString number = x11Display.mid(colon + 1).section(u'.', 0, 0);
        bool isNumber = false;
        number.toUInt(&isNumber);
        if (colon < 0 || !isNumber)
            return QStringLiteral("x11-") + fileNamePart(x11Display);
        const bool local = host.isEmpty() || host == QLatin1String("unix");
        return QStringLiteral("x11-") + number + (local ? QString() : u'-' + fileNamePart(host));
    }
    const QString name = fileNamePart(platform);
    return name.isEmpty() ? QStringLiteral("default") : name;
}

// The lock this copy holds (taken once per process), removed as the process ends so the folder
// keeps only live locks.
static QByteArray g_heldLock;

static void removeHeldLock() { ::unlink(g_heldLock.constData()); }

// Whether the open descriptor is still the file the path names.
static bool sameFile(int fd, const QByteArray &path)
{
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}

// A Wayland display is named by the socket a client connects to: WAYLAND_DISPLAY, relative to
// XDG_RUNTIME_DIR unless absolute (without a runtime folder, the name alone), with links resolved.
QString currentDisplayKey()
{
    QString socket = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!socket.isEmpty() && !socket.startsWith(u'/') && runtimeDir.startsWith(u'/'))
        socket = runtimeDir + u'/' + socket;
    const QString resolved = socket.startsWith(u'/') ? QFileInfo(socket).canonicalFilePath() : QString();
    return displayKey(qEnvironmentVariable("DISPLAY"), resolved.isEmpty() ? socket : resolved,
                      QGuiApplication::platformName());
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

// A folder owned by us, closed to everyone else (the rule Qt has for the runtime folder) and
// writable; a symlink or a folder that another user made is never trusted.
static bool privateFolder(const LockFolderCandidate &candidate)
{
    const QByteArray path = QFile::encodeName(candidate.path);
    if (!path.startsWith('/'))
        return false;
    if (candidate.create) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash > 0)
            ::mkdir(path.left(slash).constData(), 0700); // ~/.cache; its own rights do not matter
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return privateRuntimeDir(candidate.path) && ::access(path.constData(), W_OK | X_OK) == 0;
}

QString chooseLockFolder(const QList<LockFolderCandidate> &candidates)
{
    for (const LockFolderCandidate &c : candidates)
        if (privateFolder(c))
            return c.path;
    return {};
}

InstanceLock takeInstanceLock(const QString &folder, const QString &key, QString *why)
{
    if (folder.isEmpty()) {
        *why = QStringLiteral("no private folder for the lock");
        return InstanceLock::Unguarded;
    }
    // An flock dies with its process, so a crashed or killed copy never blocks the next.
    const QString path = folder + QStringLiteral("/zentyr-") + key + QStringLiteral(".lock");
    const QByteArray native = QFile::encodeName(path);
    auto fail = [&](int err) {
        *why = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err));
        return InstanceLock::Unguarded;
    };
    // A copy that ends removes its file while it still holds the lock; a copy that opened that
    // file just before holds a lock on a name that is gone, so it checks and tries again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return fail(errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            return err == EWOULDBLOCK ? InstanceLock::Previous : fail(err);
        }
        if (!sameFile(fd, native)) {
            ::close(fd);
            continue;
        }
        g_heldLock = native;
        std::atexit(removeHeldLock);
        std::at_quick_exit(removeHeldLock);
        return InstanceLock::First; // the descriptor stays open, holding the lock, for the life of the process
    }
    return fail(EAGAIN);
}

bool anotherCopyHoldsTheLock()
{
    QString why;
    const InstanceLock lock = takeInstanceLock(chooseLockFolder(lockFolderCandidates()), currentDisplayKey(), &why);
    // Never keep the user from the program: run without the check and say so (standard error is
    // unbuffered).
    if (lock == InstanceLock::Unguarded)
        std::fprintf(stderr, "zentyr: cannot tell whether another copy runs (%s); starting anyway\n", qPrintable(why));
    return lock == InstanceLock::Previous;
}

} // namespace zentyr

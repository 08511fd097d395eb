#include "platform/system/instance.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zentyr {

// The desktop session: the display this copy talks to.
static QString sessionKey()
{
    QByteArray d = qgetenv("WAYLAND_DISPLAY");
    if (d.isEmpty())
        d = qgetenv("DISPLAY");
    if (d.isEmpty())
        d = QGuiApplication::platformName().toUtf8();
    QString key;
    for (char c : d)
        key += (QChar::isLetterOrNumber(c) || c == '.' || c == '-') ? QChar(c) : QChar('_');
    return key.isEmpty() ? QStringLiteral("default") : key;
}

#ifdef Q_OS_UNIX
// A folder owned by us and closed to everyone else; a symlink or a folder that
// another user made is never trusted.
static bool privateFolder(const QByteArray &path, bool create)
{
    if (path.isEmpty() || path[0] != '/')
        return false;
    if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0077) == 0;
}

static QString lockFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (privateFolder(runtime, false))
        return QString::fromLocal8Bit(runtime);
    const QByteArray tmp = "/tmp/zentyr-" + QByteArray::number(::getuid());
    if (privateFolder(tmp, true))
        return QString::fromLocal8Bit(tmp);
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty()) {
        const QByteArray cache = home + "/.cache";
        ::mkdir(cache.constData(), 0700);
        const QByteArray own = cache + "/zentyr";
        if (privateFolder(own, true))
            return QString::fromLocal8Bit(own);
    }
    return {};
}
#endif

QString instanceLockPath()
{
#ifdef Q_OS_UNIX
    const QString folder = lockFolder();
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/zentyr-") + sessionKey() + QStringLiteral(".lock");
#else
    return QStringLiteral("Local\\Zentyr-") + sessionKey() + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
#endif
}

static bool takeLock()
{
#ifdef Q_OS_UNIX
    // An flock dies with its process, so a crashed or killed copy never blocks the next.
    const QString path = instanceLockPath();
    if (path.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }
    return false; // the descriptor stays open, holding the lock, for the life of the process
#elif defined(Q_OS_WIN)
    const std::wstring name = instanceLockPath().toStdWString();
    HANDLE h = ::CreateMutexW(nullptr, FALSE, name.c_str());
    return h && ::GetLastError() == ERROR_ALREADY_EXISTS;
#else
    return false;
#endif
}

bool previousInstanceRunning()
{
    static const bool answer = takeLock();
    return answer;
}

} // namespace zentyr

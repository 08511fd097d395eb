// SPDX-License-Identifier: MIT
#include "platform/system/runtimedir.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentyr {

bool privateRuntimeDir(const QString &path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && st.st_uid == ::geteuid() && (st.st_mode & 0777) == 0700;
}

// Without XDG_RUNTIME_DIR Qt warns on every start and then makes /tmp/runtime-<user> itself.
// Silencing the warning would also hide it where something is wrong; instead we give Qt what
// it would settle on, checked the same way: the login's /run/user/<uid> (where a session bus or
// Wayland socket of this user lives) or Qt's own fallback folder. A folder that fails the check,
// say one another user made first, is left alone, and Qt then warns as it should.
void provideRuntimeDir()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t uid = ::geteuid();
    QString dir = QStringLiteral("/run/user/%1").arg(uid);
    if (!privateRuntimeDir(dir)) {
        const passwd *pw = ::getpwuid(uid);
        const QString user = pw ? QFile::decodeName(pw->pw_name) : QString::number(uid);
        dir = QDir::tempPath() + QStringLiteral("/runtime-") + user;
        ::mkdir(QFile::encodeName(dir).constData(), 0700); // an existing one is checked below
        if (!privateRuntimeDir(dir))
            return;
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}

} // namespace zentyr

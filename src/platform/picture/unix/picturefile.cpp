// SPDX-License-Identifier: MIT
// Opening the chosen file through POSIX calls: every check on the open descriptor.
#include "platform/picture/picturefile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentyr {

PictureError openPictureFile(const QString &path, QFile &file)
{
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking so that opening a FIFO returns at once; it is refused below.
    const int fd = TEMP_FAILURE_RETRY(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG: return PictureError::FileNotFound;
        case ENOMEM: return PictureError::OutOfMemory;
        default: return PictureError::FileAccess;
        }
    }
    // From here the file owns the descriptor and closes it on every path. Opening an open
    // descriptor for reading cannot fail.
    file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    // The open descriptor, not the path: the path may be swapped after the check.
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return PictureError::FileAccess;
    return st.st_size > PictureFileSizeLimit ? PictureError::OutOfMemory : PictureError::None;
}

} // namespace zentyr

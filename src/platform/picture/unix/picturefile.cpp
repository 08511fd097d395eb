// SPDX-License-Identifier: MIT
// Reading the chosen file through POSIX calls: every check on the open descriptor.
#include "platform/picture/picturefile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentyr {

namespace {

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

PictureError errorForErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG: return PictureError::FileNotFound;
    case ENOMEM: return PictureError::OutOfMemory;
    default: return PictureError::FileAccess;
    }
}

} // namespace

PictureFileBytes readPictureFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        // Non-blocking so that opening a FIFO returns at once; it is refused below.
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return {{}, errorForErrno(errno)};
    const FdCloser closer{fd};
    // The open descriptor, not the path: the path may be swapped after the check.
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return {{}, PictureError::FileAccess};
    if (st.st_size > PictureFileSizeLimit)
        return {{}, PictureError::OutOfMemory};

    // Read to the end, not to st_size: files in /proc report 0, and a file may grow. One byte
    // past the limit is enough to refuse it.
    QByteArray data(qint64(st.st_size) + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total <= PictureFileSizeLimit) {
        if (total == data.size())
            data.resize(qMin(PictureFileSizeLimit + 1, qMax(total * 2, qint64(64 * 1024))));
        const ssize_t got = ::read(fd, data.data() + total, size_t(data.size() - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {{}, errorForErrno(errno)};
        }
        if (got == 0) {
            data.truncate(total);
            return {data, PictureError::None};
        }
        total += got;
    }
    return {{}, PictureError::OutOfMemory};
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
// Reading the chosen file where there is no POSIX: the same rules through QFile, checked on the path.
#include "platform/picture/picturefile.h"

#include <QFile>
#include <QFileInfo>

namespace zentyr {

PictureFileBytes readPictureFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, PictureError::FileNotFound};
    if (!info.isFile())
        return {{}, PictureError::FileAccess};
    if (info.size() > PictureFileSizeLimit)
        return {{}, PictureError::OutOfMemory};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {{}, file.exists() ? PictureError::FileAccess : PictureError::FileNotFound};
    QByteArray data;
    for (;;) {
        const QByteArray chunk = file.read(qMin(qint64(1024 * 1024), PictureFileSizeLimit + 1 - data.size()));
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                return {{}, PictureError::FileAccess};
            break;
        }
        data += chunk;
        if (data.size() > PictureFileSizeLimit)
            return {{}, PictureError::OutOfMemory};
    }
    return {data, PictureError::None};
}

} // namespace zentyr

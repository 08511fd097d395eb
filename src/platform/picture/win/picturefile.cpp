// SPDX-License-Identifier: MIT
// Reading the chosen file where there is no POSIX: the same rules through QFile, checked on the path.
#include "platform/picture/picturefile.h"

#include <QFile>
#include <QFileInfo>

namespace zentyr {

namespace {

PictureFileBytes failed(PictureError error) { return {QByteArray(), error}; }

} // namespace

PictureFileBytes readRegularFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failed(PictureError::FileNotFound);
    if (!info.isFile())
        return failed(PictureError::FileAccess);
    if (info.size() > PictureFileSizeLimit)
        return failed(PictureError::OutOfMemory);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failed(file.exists() ? PictureError::FileAccess : PictureError::FileNotFound);
    QByteArray data;
    for (;;) {
        const QByteArray chunk = file.read(qMin(qint64(1024 * 1024), PictureFileSizeLimit + 1 - data.size()));
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                return failed(PictureError::FileAccess);
            break;
        }
        data += chunk;
        if (data.size() > PictureFileSizeLimit)
            return failed(PictureError::OutOfMemory);
    }
    return {data, PictureError::None};
}

} // namespace zentyr

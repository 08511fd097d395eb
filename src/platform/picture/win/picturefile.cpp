// SPDX-License-Identifier: MIT
// Opening the chosen file where there is no POSIX: the same rules through QFile, checked on the path.
#include "platform/picture/picturefile.h"

#include <QFileInfo>

namespace zentyr {

PictureError openPictureFile(const QString &path, QFile &file)
{
    const QFileInfo info(path);
    if (!info.exists())
        return PictureError::FileNotFound;
    if (!info.isFile())
        return PictureError::FileAccess;
    if (info.size() > PictureFileSizeLimit)
        return PictureError::OutOfMemory;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.exists() ? PictureError::FileAccess : PictureError::FileNotFound;
    return PictureError::None;
}

} // namespace zentyr

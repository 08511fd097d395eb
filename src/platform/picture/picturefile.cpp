// SPDX-License-Identifier: MIT
#include "platform/picture/picturefile.h"

#include <new>

namespace zentyr {

PictureFileBytes readPictureFile(const QString &path)
{
    try {
        return readRegularFile(path);
    } catch (const std::bad_alloc &) {
        return {QByteArray(), PictureError::OutOfMemory};
    }
}

} // namespace zentyr

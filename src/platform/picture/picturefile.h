// SPDX-License-Identifier: MIT
#pragma once
// Reading a picture file the user chose: regular files only, never blocking on FIFOs or
// devices, and never more than PictureFileSizeLimit bytes.
#include "platform/picture/picture.h"

namespace zentyr {

struct PictureFileBytes {
    QByteArray bytes;
    PictureError error = PictureError::None;
};

PictureFileBytes readPictureFile(const QString &path);
// The same, but throws std::bad_alloc when memory runs out; each operating system reads in a file of
// its own.
PictureFileBytes readRegularFile(const QString &path);

} // namespace zentyr

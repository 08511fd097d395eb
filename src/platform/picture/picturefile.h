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

// Each operating system reads in a file of its own; throws std::bad_alloc when memory runs out.
PictureFileBytes readPictureFile(const QString &path);

} // namespace zentyr

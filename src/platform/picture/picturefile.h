// SPDX-License-Identifier: MIT
#pragma once
// Opening a picture file the user chose: regular files only, never blocking on FIFOs or devices, and
// never one larger than PictureFileSizeLimit.
#include "platform/picture/picture.h"

#include <QFile>

namespace zentyr {

// Each operating system opens in a file of its own; file is open for reading when None comes back.
PictureError openPictureFile(const QString &path, QFile &file);

} // namespace zentyr

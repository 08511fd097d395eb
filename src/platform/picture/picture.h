#pragma once
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace zentyr {

// One error the picture loader raises, in the classic numbering and wording.
struct PictureLoadError {
    int number;
    QString source;
    QString description;
};

// Files larger than this are refused unread (out of memory).
inline constexpr qint64 PictureFileSizeLimit = 64 * 1024 * 1024;
// A picture whose header promises more than this once decoded (4 bytes a pixel) is refused
// before decoding (out of memory).
inline constexpr qint64 PictureDecodedSizeLimit = 128 * 1024 * 1024;

// Every error the loader raises: 53, 75, 481 and 7, all with the source "Zentyr".
const QList<PictureLoadError> &pictureLoadErrors();
// The row for number; the invalid-picture row for a number the loader never raises.
PictureLoadError pictureLoadError(int number);

// Decodes a whole picture file held in memory, in any format Qt's image plugins read.
// Throws VbError 481 for anything that is not one complete picture (unknown format,
// truncated, corrupt) and 7 for a picture too large to hold. Keeps no state between
// calls and never aborts on hostile input.
QImage loadPictureData(const QByteArray &bytes);

// Reads a regular file of at most PictureFileSizeLimit bytes and decodes it.
// Throws VbError 53 (missing), 75 (not a regular file, unreadable), 7 (too large)
// or whatever loadPictureData throws. Never blocks on FIFOs or devices.
QImage loadPictureFile(const QString &path);

} // namespace zentyr

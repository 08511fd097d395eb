// SPDX-License-Identifier: MIT
#pragma once
// The picture loader behind "Display Picture": reads one user-chosen file safely and decodes
// it with Qt's image plugins, refusing anything that is not one complete picture or would not
// fit in memory. It reports what went wrong as a PictureError; callers choose the wording.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace zentyr {

enum class PictureError {
    None,
    FileNotFound,   // no such file or folder
    FileAccess,     // not a regular file, or unreadable
    InvalidPicture, // unknown format, truncated or corrupt
    OutOfMemory,    // too large to read or to hold once decoded
};

// Files larger than this are refused unread.
inline constexpr qint64 PictureFileSizeLimit = 64 * 1024 * 1024;
// What a decoder may hold: the decoded picture at the depth it is read in, plus any buffer
// the decoder keeps for the whole picture (see PictureLayout::decoderBytes).
inline constexpr qint64 PictureDecodedSizeLimit = 128 * 1024 * 1024;

struct PictureResult {
    QImage image; // null unless error is None
    PictureError error = PictureError::None;
};

// Decodes a whole picture file held in memory, in any format Qt's image plugins read.
// fileName's extension picks the format when the content alone does not tell it (TGA).
// Keeps no state between calls and never aborts on hostile input.
PictureResult loadPictureData(const QByteArray &bytes, const QString &fileName = QString());

// Reads a regular file of at most PictureFileSizeLimit bytes and decodes it.
// Never blocks on FIFOs or devices.
PictureResult loadPictureFile(const QString &path);

} // namespace zentyr

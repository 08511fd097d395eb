// SPDX-License-Identifier: MIT
#include "platform/picture/picture.h"
#include "platform/picture/pictureformats.h"
#include "platform/picture/picturefile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include <new>
#include <utility>

namespace zentyr {

namespace {

// Whether a width x height picture at bytesPerPixel, beside extraBytes of decoder buffers,
// would pass PictureDecodedSizeLimit.
bool tooLarge(quint64 width, quint64 height, quint64 bytesPerPixel, quint64 extraBytes)
{
    const quint64 limit = quint64(PictureDecodedSizeLimit);
    return extraBytes > limit || (height != 0 && width > (limit - extraBytes) / bytesPerPixel / height);
}

} // namespace

PictureResult loadPictureData(const QByteArray &bytes, const QString &fileName)
{
    // Qt's own ceiling backs up the header checks for formats we do not walk. It is one
    // process-wide setting, always given the same value.
    QImageReader::setAllocationLimit(int(PictureDecodedSizeLimit / (1024 * 1024)));
    try {
        const PictureLayout layout = walkPictureBytes(bytes);
        if (layout.shape == PictureShape::Broken)
            return {{}, PictureError::InvalidPicture};
        if (tooLarge(layout.width, layout.height, 4, layout.decoderBytes))
            return {{}, PictureError::OutOfMemory};

        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        // Formats without a signature go by the file's extension: a TGA's first bytes look like a
        // Windows cursor to Qt. The named decoder still checks the content; failing that, and for
        // the formats walked above, the content decides.
        const QByteArray suffix = QFileInfo(fileName).suffix().toLower().toLatin1();
        const bool byName = layout.shape == PictureShape::Unknown
            && QImageReader::supportedImageFormats().contains(suffix) && QImageReader(&buffer, suffix).canRead();
        // The decoder tried may have moved on in the buffer.
        buffer.seek(0);
        QImageReader reader(&buffer, byName ? suffix : QByteArray());
        if (!reader.canRead())
            return {{}, PictureError::InvalidPicture};
        // Shown as stored: no EXIF rotation.
        reader.setAutoTransform(false);
        // A pixel takes at least four bytes once shown, as the screen holds it.
        const QSize declared = reader.size();
        if (declared.isValid()
            && tooLarge(quint64(declared.width()), quint64(declared.height()),
                        qMax(4, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() / 8), layout.decoderBytes))
            return {{}, PictureError::OutOfMemory};
        // Qt's BMP reader leaves the pixels a run-length bitmap skips as the memory held them;
        // they start as the first colour instead.
        QImage image;
        if (reader.format() == "bmp" && declared.isValid()) {
            image = QImage(declared, reader.imageFormat());
            image.fill(0);
        }
        if (!reader.read(&image) || image.isNull())
            return {{}, PictureError::InvalidPicture};
        return {std::move(image), PictureError::None};
    } catch (const std::bad_alloc &) {
        return {{}, PictureError::OutOfMemory};
    }
}

PictureResult loadPictureFile(const QString &path)
{
    try {
        QFile file;
        if (const PictureError error = openPictureFile(path, file); error != PictureError::None)
            return {{}, error};
        // Read to the end, not to the size the file reports: files in /proc report 0, and a file
        // may grow. One byte past the limit is enough to refuse it.
        QByteArray bytes;
        bytes.reserve(file.size() + 1);
        for (QByteArray chunk; bytes.size() <= PictureFileSizeLimit; bytes += chunk) {
            chunk = file.read(qMin(qint64(64 * 1024), PictureFileSizeLimit + 1 - bytes.size()));
            // Nothing more: the end of the file, or a failed read.
            if (chunk.isEmpty())
                return file.error() == QFileDevice::NoError ? loadPictureData(bytes, path)
                                                            : PictureResult{{}, PictureError::FileAccess};
        }
        return {{}, PictureError::OutOfMemory};
    } catch (const std::bad_alloc &) {
        return {{}, PictureError::OutOfMemory};
    }
}

} // namespace zentyr

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

// Bytes a pixel of format takes once shown: at least four, as the screen holds it.
quint64 shownBytesPerPixel(QImage::Format format)
{
    return qMax(quint64(4), quint64(QImage::toPixelFormat(format).bitsPerPixel() / 8));
}

} // namespace

PictureResult loadPictureData(const QByteArray &bytes, const QString &fileName)
{
    // Qt's own ceiling backs up the header checks for formats we do not walk. It is one
    // process-wide setting, made once, to the same value every caller would choose.
    [[maybe_unused]] static const bool limited = [] {
        QImageReader::setAllocationLimit(int(PictureDecodedSizeLimit / (1024 * 1024)));
        return true;
    }();
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
        const bool byName
            = layout.shape == PictureShape::Unknown && QImageReader::supportedImageFormats().contains(suffix);
        QImageReader reader(&buffer, byName ? suffix : QByteArray());
        if (!reader.canRead()) {
            buffer.seek(0);
            reader.setFormat(QByteArray());
            reader.setDevice(&buffer);
            if (!reader.canRead())
                return {{}, PictureError::InvalidPicture};
        }
        // Shown as stored: no EXIF rotation.
        reader.setAutoTransform(false);
        const QSize declared = reader.size();
        if (declared.isValid()
            && tooLarge(quint64(declared.width()), quint64(declared.height()), shownBytesPerPixel(reader.imageFormat()),
                        layout.decoderBytes))
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
        while (bytes.size() <= PictureFileSizeLimit) {
            const QByteArray chunk = file.read(qMin(qint64(64 * 1024), PictureFileSizeLimit + 1 - bytes.size()));
            if (chunk.isEmpty() && file.error() != QFileDevice::NoError)
                return {{}, PictureError::FileAccess};
            if (chunk.isEmpty())
                return loadPictureData(bytes, path);
            bytes += chunk;
        }
        return {{}, PictureError::OutOfMemory};
    } catch (const std::bad_alloc &) {
        return {{}, PictureError::OutOfMemory};
    }
}

} // namespace zentyr

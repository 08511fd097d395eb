// SPDX-License-Identifier: MIT
// libFuzzer target: the picture loader behind "Display Picture", fed from memory.
#include "platform/picture/picture.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Qt finds its image plugins (JPEG, GIF, ...) through the application's library paths.
    static QCoreApplication app(*argc, *argv);
    // Decoders warn about every broken input; libFuzzer's own lines are what matter.
    if (!qEnvironmentVariableIsSet("ZENTYR_FUZZ_VERBOSE"))
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const zentyr::PictureResult result = zentyr::loadPictureData(bytes);
    const QImage &image = result.image;
    switch (result.error) {
    case zentyr::PictureError::None: {
        // A returned picture must be a real one within the decoded-size ceiling.
        const qint64 pixels = qint64(image.width()) * image.height();
        if (image.isNull() || pixels * 4 > zentyr::PictureDecodedSizeLimit) {
            std::fprintf(stderr, "loadPictureData returned %dx%d (null: %d)\n", image.width(), image.height(),
                         int(image.isNull()));
            std::abort();
        }
        break;
    }
    case zentyr::PictureError::InvalidPicture:
    case zentyr::PictureError::OutOfMemory:
        if (!image.isNull()) {
            std::fprintf(stderr, "a picture came back with an error\n");
            std::abort();
        }
        break;
    default:
        // Only "invalid picture" and "out of memory" are promised for bad bytes.
        std::fprintf(stderr, "unexpected error %d\n", int(result.error));
        std::abort();
    }
    return 0;
}

// SPDX-License-Identifier: MIT
#pragma once
// Format walkers: pure checks over a picture file's bytes that tell whether a PNG, JPEG, GIF
// or BMP file is whole and how much memory its decoder will need, before any decoder runs.
#include <QByteArrayView>
#include <QtGlobal>

namespace zentyr {

enum class PictureShape {
    Unknown,  // not one of the walked formats; the decoder decides
    Complete, // ends where its own structure says it does
    Broken,   // truncated, corrupt, or more work than a picture needs
};

struct PictureLayout {
    PictureShape shape = PictureShape::Unknown;
    quint64 width = 0;
    quint64 height = 0;
    // Memory the decoder holds besides the picture itself: a JPEG in several scans is kept
    // whole as coefficients (two bytes a sample) until its last scan is read.
    quint64 decoderBytes = 0;
};

// Walks bytes as PNG, JPEG, GIF or BMP, chosen by their signature.
PictureLayout walkPictureBytes(QByteArrayView bytes);

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "platform/picture/pictureformats.h"
#include "platform/picture/picturebytes.h"

namespace zentyr {

namespace {

// Qt's decoders hand back whatever they got from a truncated file (libjpeg pads with grey and
// only warns), so the formats we name are walked first to see that they end where they say.

PictureLayout walkPng(const Bytes &b)
{
    if (!b.startsWith("\x89PNG\r\n\x1a\n", 8))
        return {};
    PictureLayout l{PictureShape::Broken};
    qsizetype pos = 8;
    bool first = true;
    while (b.has(pos, 12)) {
        const quint32 len = b.be32(pos);
        if (len > 0x7fffffffu || !b.has(pos + 8, qint64(len) + 4))
            return l;
        char type[4];
        for (int i = 0; i < 4; ++i) {
            type[i] = char(b.at(pos + 4 + i));
            if (!((type[i] >= 'A' && type[i] <= 'Z') || (type[i] >= 'a' && type[i] <= 'z')))
                return l;
        }
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || len != 13)
                return l;
            l.width = b.be32(pos + 8);
            l.height = b.be32(pos + 12);
            if (l.width == 0 || l.height == 0)
                return l;
            first = false;
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            l.shape = PictureShape::Complete;
            return l;
        }
        pos += 12 + qsizetype(len);
    }
    return l;
}

namespace gif {
constexpr qsizetype SignatureSize = 6;
constexpr qsizetype ScreenDescriptorSize = 7; // width, height, flags, background, aspect
constexpr qsizetype ScreenFlags = 10;         // where the screen descriptor's flags stand
constexpr qsizetype ImageDescriptorSize = 9;  // left, top, width, height, flags
constexpr qsizetype ImageFlags = 8;           // where, within it, the flags stand
constexpr uchar ColourTableFlag = 0x80;
constexpr uchar ColourTableSizeMask = 0x07;
// What each block starts with.
constexpr uchar Extension = 0x21;
constexpr uchar Image = 0x2c;
constexpr uchar Trailer = 0x3b;
} // namespace gif

// A global or local colour table: three bytes an entry, 2^(n+1) entries.
qsizetype gifColourTableSize(uchar flags)
{
    if (!(flags & gif::ColourTableFlag))
        return 0;
    return qsizetype(3) << ((flags & gif::ColourTableSizeMask) + 1);
}

// One byte (an extension's label, an image's LZW minimum code size), then data sub-blocks, each
// led by its length, up to and past the empty one that ends them.
bool skipGifData(const Bytes &b, qsizetype &pos)
{
    ++pos;
    for (;;) {
        if (!b.has(pos, 1))
            return false;
        const uchar len = b.at(pos++);
        if (len == 0)
            return true;
        if (!b.has(pos, len))
            return false;
        pos += len;
    }
}

// An image after its introducer: descriptor, colour table, then its data.
bool skipGifImage(const Bytes &b, qsizetype &pos, quint64 &width, quint64 &height)
{
    if (!b.has(pos, gif::ImageDescriptorSize))
        return false;
    // A frame may reach past the logical screen; the decoder's canvas then grows.
    width = qMax(width, quint64(b.le16(pos)) + b.le16(pos + 4));
    height = qMax(height, quint64(b.le16(pos + 2)) + b.le16(pos + 6));
    pos += gif::ImageDescriptorSize + gifColourTableSize(b.at(pos + gif::ImageFlags));
    return skipGifData(b, pos);
}

PictureLayout walkGif(const Bytes &b)
{
    if (!b.startsWith("GIF87a", gif::SignatureSize) && !b.startsWith("GIF89a", gif::SignatureSize))
        return {};
    PictureLayout l{PictureShape::Broken};
    if (!b.has(gif::SignatureSize, gif::ScreenDescriptorSize))
        return l;
    quint64 width = b.le16(gif::SignatureSize), height = b.le16(gif::SignatureSize + 2);
    qsizetype pos = gif::SignatureSize + gif::ScreenDescriptorSize + gifColourTableSize(b.at(gif::ScreenFlags));
    bool sawImage = false;
    while (b.has(pos, 1)) {
        const uchar block = b.at(pos++);
        if (block == gif::Trailer) {
            if (sawImage)
                l = {PictureShape::Complete, width, height};
            return l;
        }
        if (block == gif::Image) {
            if (!skipGifImage(b, pos, width, height))
                return l;
            sawImage = true;
        } else if (block != gif::Extension || !skipGifData(b, pos)) {
            return l;
        }
    }
    return l;
}

namespace bmp {
constexpr qsizetype FileHeaderSize = 14; // "BM", file size, reserved, pixel data offset
constexpr qsizetype PixelDataOffset = 10;
constexpr qsizetype InfoSizeField = 4; // the info header's first field: its own size
constexpr quint32 CoreHeaderSize = 12; // OS/2 1.x, 16-bit dimensions
constexpr quint32 InfoHeaderSize = 40; // Windows, and the larger headers that extend it
// After a zero count, run-length data holds an escape.
enum RleEscape : uchar { EndOfLine = 0, EndOfBitmap = 1, Delta = 2 };
enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };
} // namespace bmp

// Run-length bitmaps are complete when their end-of-bitmap escape is there.
bool rleReachesEnd(const Bytes &b, qsizetype pos, bool fourBit)
{
    while (b.has(pos, 2)) {
        const uchar count = b.at(pos), code = b.at(pos + 1);
        pos += 2;
        if (count != 0 || code == bmp::EndOfLine)
            continue;
        if (code == bmp::EndOfBitmap)
            return true;
        if (code == bmp::Delta) {
            pos += 2;
        } else {
            const qsizetype bytes = fourBit ? (code + 1) / 2 : code;
            pos += (bytes + 1) & ~qsizetype(1);
        }
    }
    return false;
}

struct BmpHeader {
    quint64 width = 0;
    quint64 height = 0;
    quint32 bitCount = 0;
    quint32 compression = bmp::Rgb;
};

// The info header after the file header; false when it is cut short or of no size we know.
bool readBmpHeader(const Bytes &b, BmpHeader &h)
{
    const qsizetype info = bmp::FileHeaderSize;
    const quint32 infoSize = b.le32(info);
    if (infoSize == bmp::CoreHeaderSize) {
        if (!b.has(info, bmp::CoreHeaderSize))
            return false;
        h.width = b.le16(info + 4);
        h.height = b.le16(info + 6);
        h.bitCount = b.le16(info + 10);
        return true;
    }
    if (infoSize < bmp::InfoHeaderSize || !b.has(info, bmp::InfoHeaderSize))
        return false;
    const qint64 w = qint32(b.le32(info + 4)), ht = qint32(b.le32(info + 8)); // negative height: top-down
    h.width = quint64(w < 0 ? -w : w);
    h.height = quint64(ht < 0 ? -ht : ht);
    h.bitCount = b.le16(info + 14);
    h.compression = b.le32(info + 16);
    return true;
}

// Whether the pixel data from offBits on is all there, for the encodings we can measure.
bool bmpPixelsComplete(const Bytes &b, quint32 offBits, const BmpHeader &h)
{
    const quint32 d = h.bitCount;
    const bool plain
        = h.compression == bmp::Rgb || h.compression == bmp::BitFields || h.compression == bmp::AlphaBitFields;
    if (plain && (d == 1 || d == 4 || d == 8 || d == 16 || d == 24 || d == 32)) {
        const quint64 stride = (h.width * h.bitCount + 31) / 32 * 4;
        return h.height <= quint64(b.size() - offBits) / stride;
    }
    if (h.compression == bmp::Rle8 && h.bitCount == 8)
        return rleReachesEnd(b, offBits, false);
    if (h.compression == bmp::Rle4 && h.bitCount == 4)
        return rleReachesEnd(b, offBits, true);
    // Other encodings (embedded JPEG/PNG, odd depths) are left to the decoder.
    return true;
}

PictureLayout walkBmp(const Bytes &b)
{
    if (!b.startsWith("BM", 2))
        return {};
    PictureLayout l{PictureShape::Broken};
    BmpHeader h;
    if (!b.has(0, bmp::FileHeaderSize + bmp::InfoSizeField) || !readBmpHeader(b, h))
        return l;
    l.width = h.width;
    l.height = h.height;
    const quint32 offBits = b.le32(bmp::PixelDataOffset);
    if (l.width == 0 || l.height == 0 || offBits > b.size() || !bmpPixelsComplete(b, offBits, h))
        return l;
    l.shape = PictureShape::Complete;
    return l;
}

} // namespace

PictureLayout walkPictureBytes(QByteArrayView bytes)
{
    const Bytes b(bytes);
    for (const auto walker : {walkPng, walkJpeg, walkGif, walkBmp}) {
        const PictureLayout l = walker(b);
        if (l.shape != PictureShape::Unknown)
            return l;
    }
    return {};
}

} // namespace zentyr

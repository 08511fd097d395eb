// SPDX-License-Identifier: MIT
#include "platform/picture/pictureformats.h"

#include <algorithm>
#include <cstring>

namespace zentyr {

namespace {

// Qt's decoders hand back whatever they got from a truncated file (libjpeg pads with grey and
// only warns), so the formats we name are walked first to see that they end where they say.

// Bounds-checked reading of a picture file's bytes.
struct Bytes {
    explicit Bytes(QByteArrayView a) : data(reinterpret_cast<const uchar *>(a.data())), size(a.size()) { }
    bool has(qsizetype pos, qint64 len) const { return pos >= 0 && len >= 0 && pos <= size && len <= size - pos; }
    uchar at(qsizetype pos) const { return data[pos]; }
    quint32 be16(qsizetype pos) const { return quint32(data[pos]) << 8 | data[pos + 1]; }
    quint32 be32(qsizetype pos) const { return be16(pos) << 16 | be16(pos + 2); }
    quint32 le16(qsizetype pos) const { return quint32(data[pos + 1]) << 8 | data[pos]; }
    quint32 le32(qsizetype pos) const { return le16(pos + 2) << 16 | le16(pos); }
    bool matches(qsizetype pos, const char *text) const
    {
        return std::memcmp(data + pos, text, std::strlen(text)) == 0;
    }
    bool startsWith(const char *magic) const { return has(0, qsizetype(std::strlen(magic))) && matches(0, magic); }

    const uchar *const data;
    const qsizetype size;
};

// A PNG chunk's type is four ASCII letters.
bool isPngChunkType(const Bytes &b, qsizetype pos)
{
    return std::all_of(b.data + pos, b.data + pos + 4,
                       [](uchar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

// Chunks after the signature: length, type, data and checksum; IHDR first, with a non-zero size.
PictureLayout walkPng(const Bytes &b)
{
    if (!b.startsWith("\x89PNG\r\n\x1a\n"))
        return {};
    PictureLayout l{PictureShape::Broken};
    if (!b.has(8, 25) || b.be32(8) != 13 || !b.matches(12, "IHDR"))
        return l;
    l.width = b.be32(16);
    l.height = b.be32(20);
    if (l.width == 0 || l.height == 0)
        return l;
    for (qsizetype pos = 8; b.has(pos, 12); pos += 12 + qsizetype(b.be32(pos))) {
        const quint32 len = b.be32(pos);
        if (len > 0x7fffffffu || !b.has(pos + 8, qint64(len) + 4) || !isPngChunkType(b, pos + 4))
            return l;
        if (b.matches(pos + 4, "IEND")) {
            l.shape = PictureShape::Complete;
            return l;
        }
    }
    return l;
}

// A global or local colour table: three bytes an entry, 2^(n+1) entries.
qsizetype gifColourTableSize(uchar flags) { return flags & 0x80 ? qsizetype(3) << ((flags & 0x07) + 1) : 0; }

// Data sub-blocks, each led by its length, up to and past the empty one that ends them.
bool skipGifSubBlocks(const Bytes &b, qsizetype &pos)
{
    while (b.has(pos, 1)) {
        const uchar len = b.at(pos);
        pos += 1 + len;
        if (len == 0)
            return true;
    }
    return false;
}

PictureLayout walkGif(const Bytes &b)
{
    if (!b.startsWith("GIF87a") && !b.startsWith("GIF89a"))
        return {};
    PictureLayout l{PictureShape::Broken};
    // The logical screen: width, height, flags, background, aspect.
    if (!b.has(6, 7))
        return l;
    quint64 width = b.le16(6), height = b.le16(8);
    qsizetype pos = 13 + gifColourTableSize(b.at(10));
    bool sawImage = false;
    while (b.has(pos, 1)) {
        const uchar block = b.at(pos++);
        if (block == 0x3b) { // the trailer
            if (sawImage)
                l = {PictureShape::Complete, width, height};
            return l;
        }
        if (block == 0x2c && b.has(pos, 9)) {
            // An image: left, top, width, height, flags, then its colour table. A frame may reach
            // past the logical screen; the decoder's canvas then grows.
            width = qMax(width, quint64(b.le16(pos)) + b.le16(pos + 4));
            height = qMax(height, quint64(b.le16(pos + 2)) + b.le16(pos + 6));
            pos += 9 + gifColourTableSize(b.at(pos + 8));
            sawImage = true;
        } else if (block != 0x21) { // nor an extension
            return l;
        }
        // One byte (an extension's label, an image's LZW minimum code size), then the data.
        ++pos;
        if (!skipGifSubBlocks(b, pos))
            return l;
    }
    return l;
}

// Run-length bitmaps are complete when their end-of-bitmap escape is there.
bool rleReachesEnd(const Bytes &b, qsizetype pos, bool fourBit)
{
    while (b.has(pos, 2)) {
        const uchar count = b.at(pos), code = b.at(pos + 1);
        pos += 2;
        // After a zero count, an escape: 0 ends a line, 1 the bitmap, 2 moves by the next two
        // bytes, and more is that many pixels as they are, padded to an even number of bytes.
        if (count != 0 || code == 0)
            continue;
        if (code == 1)
            return true;
        pos += code == 2 ? 2 : ((fourBit ? (code + 1) / 2 : code) + 1) & ~qsizetype(1);
    }
    return false;
}

// Whether the pixel data from offBits on is all there, for the encodings we can measure.
bool bmpPixelsComplete(const Bytes &b, quint32 offBits, const PictureLayout &l, quint32 depth, quint32 compression)
{
    // Uncompressed or bit fields (with alpha: 6), rows padded to four bytes.
    const bool plain = compression == 0 || compression == 3 || compression == 6;
    if (plain && (depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32)) {
        const quint64 stride = (l.width * depth + 31) / 32 * 4;
        return l.height <= quint64(b.size - offBits) / stride;
    }
    if ((compression == 1 && depth == 8) || (compression == 2 && depth == 4))
        return rleReachesEnd(b, offBits, depth == 4);
    // Other encodings (embedded JPEG/PNG, odd depths) are left to the decoder.
    return true;
}

PictureLayout walkBmp(const Bytes &b)
{
    if (!b.startsWith("BM"))
        return {};
    PictureLayout l{PictureShape::Broken};
    // The file header ("BM", file size, reserved, pixel data offset), then the info header, whose
    // first field is its own size.
    if (!b.has(0, 18))
        return l;
    const quint32 infoSize = b.le32(14);
    quint32 depth = 0, compression = 0;
    if (infoSize == 12 && b.has(14, 12)) {
        // OS/2 1.x, 16-bit dimensions.
        l.width = b.le16(18);
        l.height = b.le16(20);
        depth = b.le16(24);
    } else if (infoSize >= 40 && b.has(14, 40)) {
        // Windows, and the larger headers that extend it; a negative height is a top-down bitmap.
        const qint64 w = qint32(b.le32(18)), h = qint32(b.le32(22));
        l.width = quint64(qAbs(w));
        l.height = quint64(qAbs(h));
        depth = b.le16(28);
        compression = b.le32(30);
    } else {
        return l;
    }
    const quint32 offBits = b.le32(10);
    if (l.width == 0 || l.height == 0 || offBits > b.size || !bmpPixelsComplete(b, offBits, l, depth, compression))
        return l;
    l.shape = PictureShape::Complete;
    return l;
}

// The byte after 0xFF that names a JPEG marker.
namespace jpeg {
constexpr uchar Stuffed = 0x00; // FF 00 in entropy-coded data: a data byte of FF
constexpr uchar Tem = 0x01;     // stands alone
constexpr uchar Soi = 0xd8;
constexpr uchar Eoi = 0xd9;
constexpr uchar Sos = 0xda;
constexpr uchar Prefix = 0xff; // before every marker, and as fill before one
} // namespace jpeg

// Start of frame: C0 to CF, but for DHT (C4), JPG (C8) and DAC (CC).
bool isStartOfFrame(uchar marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// Restart markers, RST0 to RST7, stand alone.
bool isRestart(uchar marker) { return marker >= 0xd0 && marker <= 0xd7; }

// libjpeg passes over the whole picture once per progressive scan, so a few kilobytes of
// repeated scans keep it busy for minutes; encoders write about ten. The budget, in pixels
// visited plus a fixed cost a scan, is about a second's work.
constexpr quint64 JpegScanCost = 1024;
constexpr quint64 JpegScanBudget = quint64(1) << 30;

struct JpegFrame {
    bool huffmanSequential = false; // baseline or extended, Huffman-coded
    bool progressive = false;
    quint64 minBlocks = 0;        // 8x8 blocks of all components, without padding
    quint64 coefficientBytes = 0; // libjpeg's whole-image coefficient buffer
};

quint64 ceilDiv(quint64 a, quint64 b) { return (a + b - 1) / b; }

// Reads a start-of-frame segment (after its length); false for impossible sampling.
bool readFrame(const Bytes &b, qsizetype pos, quint32 len, uchar marker, PictureLayout &l, JpegFrame &f)
{
    if (len < 8)
        return false;
    l.height = b.be16(pos + 3);
    l.width = b.be16(pos + 5);
    const int count = b.at(pos + 7);
    if (l.width == 0 || l.height == 0 || count == 0 || len < 8 + 3 * quint32(count))
        return false;
    f = {};
    f.huffmanSequential = marker == 0xc0 || marker == 0xc1;
    f.progressive = (marker & 3) == 2; // SOF2, 6, 10 and 14
    int maxH = 1, maxV = 1;
    for (int i = 0; i < count; ++i) {
        const uchar hv = b.at(pos + 9 + 3 * i);
        if ((hv >> 4) < 1 || (hv >> 4) > 4 || (hv & 15) < 1 || (hv & 15) > 4)
            return false;
        maxH = qMax(maxH, hv >> 4);
        maxV = qMax(maxV, hv & 15);
    }
    for (int i = 0; i < count; ++i) {
        const uchar hv = b.at(pos + 9 + 3 * i);
        const quint64 h = hv >> 4, v = hv & 15;
        const quint64 across = ceilDiv(ceilDiv(l.width * h, maxH), 8);
        const quint64 down = ceilDiv(ceilDiv(l.height * v, maxV), 8);
        f.minBlocks += across * down;
        f.coefficientBytes += ceilDiv(across, h) * h * ceilDiv(down, v) * v * 64 * 2;
    }
    return true;
}

// Reads the marker at pos, past any fill bytes before it; false when there is none.
bool readJpegMarker(const Bytes &b, qsizetype &pos, uchar &marker)
{
    while (b.has(pos, 2) && b.at(pos) == jpeg::Prefix && b.at(pos + 1) == jpeg::Prefix)
        ++pos;
    if (!b.has(pos, 2) || b.at(pos) != jpeg::Prefix)
        return false;
    marker = b.at(pos + 1);
    pos += 2;
    return true;
}

// Entropy-coded data runs to the next marker; FF 00 (one data byte) and restart markers belong
// to it. Leaves pos on that marker, counting the data bytes on the way.
bool skipEntropyCodedData(const Bytes &b, qsizetype &pos, quint64 &dataBytes)
{
    for (;;) {
        const void *ff = std::memchr(b.data + pos, jpeg::Prefix, size_t(b.size - pos));
        if (!ff)
            return false;
        const qsizetype at = static_cast<const uchar *>(ff) - b.data;
        dataBytes += quint64(at - pos);
        pos = at;
        if (!b.has(pos, 2))
            return false;
        const uchar next = b.at(pos + 1);
        if (next == jpeg::Stuffed) {
            ++dataBytes;
            pos += 2;
        } else if (isRestart(next)) {
            pos += 2;
        } else if (next == jpeg::Prefix) {
            ++pos;
        } else {
            return true;
        }
    }
}

// At the end of image: whether the scans read make a whole picture, and one worth decoding.
PictureLayout finishJpeg(PictureLayout l, const JpegFrame &frame, quint64 scans, quint64 entropyBytes)
{
    if (scans == 0 || scans * (l.width * l.height + JpegScanCost) > JpegScanBudget)
        return l;
    // Huffman coding spends at least one bit on each block's DC and one on its end of
    // block: less data than that cannot hold the whole picture.
    if (frame.huffmanSequential && entropyBytes * 8 < 2 * frame.minBlocks)
        return l;
    if (frame.progressive || scans > 1)
        l.decoderBytes = frame.coefficientBytes;
    l.shape = PictureShape::Complete;
    return l;
}

// Every marker and segment from start to end of image, the scans' cost, and enough
// entropy-coded data for the blocks a frame declares.
PictureLayout walkJpeg(const Bytes &b)
{
    if (!b.startsWith("\xff\xd8"))
        return {};
    PictureLayout l{PictureShape::Broken};
    JpegFrame frame;
    quint64 scans = 0, entropyBytes = 0;
    qsizetype pos = 2;
    uchar marker = 0;
    while (readJpegMarker(b, pos, marker)) {
        // Whatever follows the end of image (padding, vendor trailers) is not ours to judge.
        if (marker == jpeg::Eoi)
            return finishJpeg(l, frame, scans, entropyBytes);
        if (marker == jpeg::Tem || isRestart(marker))
            continue;
        // Every other marker leads a segment, its length first; FF 00 and a second SOI lead none.
        if (marker == jpeg::Stuffed || marker == jpeg::Soi || !b.has(pos, 2))
            return l;
        const quint32 len = b.be16(pos);
        if (len < 2 || !b.has(pos, len) || (isStartOfFrame(marker) && !readFrame(b, pos, len, marker, l, frame)))
            return l;
        pos += len;
        if (marker != jpeg::Sos)
            continue;
        if (l.width == 0 || !skipEntropyCodedData(b, pos, entropyBytes))
            return l;
        ++scans;
    }
    return l;
}

} // namespace

PictureLayout walkPictureBytes(QByteArrayView bytes)
{
    const Bytes b(bytes);
    for (const auto walker : {walkPng, walkJpeg, walkGif, walkBmp}) {
        if (const PictureLayout l = walker(b); l.shape != PictureShape::Unknown)
            return l;
    }
    return {};
}

} // namespace zentyr

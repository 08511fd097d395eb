// SPDX-License-Identifier: MIT
#include "platform/picture/pictureformats.h"

#include <algorithm>
#include <cstring>
#include <utility>

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
    // Whether the four bytes at pos are those of a type such as "IEND".
    bool matches(qsizetype pos, const char *type) const { return std::memcmp(data + pos, type, 4) == 0; }

    const uchar *const data;
    const qsizetype size;
};

// Each walker below is handed a file that starts with its format's signature, says whether the
// file is whole and fills in the picture's size.

// Chunks after the signature: length, type, data and checksum; IHDR first, with a non-zero size.
bool walkPng(const Bytes &b, PictureLayout &l)
{
    if (!b.has(8, 25) || b.be32(8) != 13 || !b.matches(12, "IHDR"))
        return false;
    l.width = b.be32(16);
    l.height = b.be32(20);
    if (l.width == 0 || l.height == 0)
        return false;
    // A chunk's type is four ASCII letters.
    const auto isLetter = [](uchar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    for (qsizetype pos = 8; b.has(pos, 12); pos += 12 + qsizetype(b.be32(pos))) {
        const quint32 len = b.be32(pos);
        if (len > 0x7fffffffu || !b.has(pos + 8, qint64(len) + 4)
            || !std::all_of(b.data + pos + 4, b.data + pos + 8, isLetter))
            return false;
        if (b.matches(pos + 4, "IEND"))
            return true;
    }
    return false;
}

// A global or local colour table: three bytes an entry, 2^(n+1) entries.
qsizetype gifColourTableSize(uchar flags) { return flags & 0x80 ? qsizetype(3) << ((flags & 0x07) + 1) : 0; }

bool walkGif(const Bytes &b, PictureLayout &l)
{
    // The logical screen: width, height, flags, background, aspect.
    if (!b.has(6, 7))
        return false;
    l.width = b.le16(6);
    l.height = b.le16(8);
    qsizetype pos = 13 + gifColourTableSize(b.at(10));
    bool sawImage = false;
    while (b.has(pos, 1)) {
        const uchar block = b.at(pos++);
        if (block == 0x3b) // the trailer
            return sawImage;
        if (block == 0x2c && b.has(pos, 9)) {
            // An image: left, top, width, height, flags, then its colour table. A frame may reach
            // past the logical screen; the decoder's canvas then grows.
            l.width = qMax(l.width, quint64(b.le16(pos)) + b.le16(pos + 4));
            l.height = qMax(l.height, quint64(b.le16(pos + 2)) + b.le16(pos + 6));
            pos += 9 + gifColourTableSize(b.at(pos + 8));
            sawImage = true;
        } else if (block != 0x21) { // nor an extension
            return false;
        }
        // One byte (an extension's label, an image's LZW minimum code size), then data sub-blocks,
        // each led by its length, up to and past the empty one that ends them.
        ++pos;
        while (b.has(pos, 1) && b.at(pos) != 0)
            pos += 1 + b.at(pos);
        if (!b.has(pos, 1))
            return false;
        ++pos;
    }
    return false;
}

// Run-length bitmaps are complete when their end-of-bitmap escape is there.
bool rleReachesEnd(const Bytes &b, qsizetype pos, bool fourBit)
{
    for (; b.has(pos, 2); pos += 2) {
        const uchar count = b.at(pos), code = b.at(pos + 1);
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

bool walkBmp(const Bytes &b, PictureLayout &l)
{
    // The file header ("BM", file size, reserved, pixel data offset), then the info header, whose
    // first field is its own size.
    if (!b.has(0, 18))
        return false;
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
        return false;
    }
    // Whether the pixel data from offBits on is all there, for the encodings we can measure.
    const quint32 offBits = b.le32(10);
    if (l.width == 0 || l.height == 0 || offBits > b.size)
        return false;
    // Uncompressed or bit fields (with alpha: 6), rows padded to four bytes.
    const bool plain = compression == 0 || compression == 3 || compression == 6;
    if (plain && (depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32))
        return l.height <= quint64(b.size - offBits) / ((l.width * depth + 31) / 32 * 4);
    if ((compression == 1 && depth == 8) || (compression == 2 && depth == 4))
        return rleReachesEnd(b, offBits, depth == 4);
    // Other encodings (embedded JPEG/PNG, odd depths) are left to the decoder.
    return true;
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
    // Baseline and extended Huffman frames are SOF0 and SOF1; progressive ones SOF2, 6, 10 and 14.
    f = {marker == 0xc0 || marker == 0xc1, (marker & 3) == 2};
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
        const qsizetype at = QByteArrayView(b.data, b.size).indexOf(char(jpeg::Prefix), pos);
        if (at < 0)
            return false;
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

// Every marker and segment from start to end of image, the scans' cost, and enough
// entropy-coded data for the blocks a frame declares.
bool walkJpeg(const Bytes &b, PictureLayout &l)
{
    JpegFrame frame;
    quint64 scans = 0, entropyBytes = 0;
    qsizetype pos = 2;
    uchar marker = 0;
    while (readJpegMarker(b, pos, marker)) {
        // Whatever follows the end of image (padding, vendor trailers) is not ours to judge. The
        // scans before it must make a whole picture, and one worth decoding: Huffman coding spends
        // at least one bit on each block's DC and one on its end of block, so less data than that
        // cannot hold the whole picture.
        if (marker == jpeg::Eoi) {
            if (frame.progressive || scans > 1)
                l.decoderBytes = frame.coefficientBytes;
            return scans != 0 && scans * (l.width * l.height + JpegScanCost) <= JpegScanBudget
                && !(frame.huffmanSequential && entropyBytes * 8 < 2 * frame.minBlocks);
        }
        if (marker == jpeg::Tem || isRestart(marker))
            continue;
        // Every other marker leads a segment, its length first; FF 00 and a second SOI lead none.
        if (marker == jpeg::Stuffed || marker == jpeg::Soi || !b.has(pos, 2))
            return false;
        const quint32 len = b.be16(pos);
        if (len < 2 || !b.has(pos, len) || (isStartOfFrame(marker) && !readFrame(b, pos, len, marker, l, frame)))
            return false;
        pos += len;
        if (marker != jpeg::Sos)
            continue;
        if (l.width == 0 || !skipEntropyCodedData(b, pos, entropyBytes))
            return false;
        ++scans;
    }
    return false;
}

} // namespace

PictureLayout walkPictureBytes(QByteArrayView bytes)
{
    using Walker = bool (*)(const Bytes &, PictureLayout &);
    const std::pair<const char *, Walker> walkers[] = {{"\x89PNG\r\n\x1a\n", walkPng},
                                                       {"\xff\xd8", walkJpeg},
                                                       {"GIF87a", walkGif},
                                                       {"GIF89a", walkGif},
                                                       {"BM", walkBmp}};
    // No two signatures start alike, so at most one walker runs.
    PictureLayout l;
    for (const auto &[signature, walk] : walkers) {
        if (bytes.startsWith(signature))
            l.shape = walk(Bytes(bytes), l) ? PictureShape::Complete : PictureShape::Broken;
    }
    return l;
}

} // namespace zentyr

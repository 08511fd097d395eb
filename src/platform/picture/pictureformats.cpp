// SPDX-License-Identifier: MIT
#include "platform/picture/pictureformats.h"

#include <cstring>

namespace zentyr {

namespace {

// Qt's decoders hand back whatever they got from a truncated file (libjpeg pads with grey and
// only warns), so the formats we name are walked first to see that they end where they say.

class Bytes {
public:
    explicit Bytes(QByteArrayView a) : p(reinterpret_cast<const uchar *>(a.data())), n(a.size()) {}
    bool has(qsizetype pos, qint64 len) const { return pos >= 0 && len >= 0 && pos <= n && len <= n - pos; }
    uchar at(qsizetype pos) const { return p[pos]; }
    quint32 be16(qsizetype pos) const { return quint32(p[pos]) << 8 | p[pos + 1]; }
    quint32 be32(qsizetype pos) const { return be16(pos) << 16 | be16(pos + 2); }
    quint32 le16(qsizetype pos) const { return quint32(p[pos + 1]) << 8 | p[pos]; }
    quint32 le32(qsizetype pos) const { return le16(pos + 2) << 16 | le16(pos); }
    bool startsWith(const char *magic, qsizetype len) const { return has(0, len) && std::memcmp(p, magic, size_t(len)) == 0; }
    const uchar *data() const { return p; }
    qsizetype size() const { return n; }

private:
    const uchar *p;
    qsizetype n;
};

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

PictureLayout walkGif(const Bytes &b)
{
    if (!b.startsWith("GIF87a", 6) && !b.startsWith("GIF89a", 6))
        return {};
    PictureLayout l{PictureShape::Broken};
    if (!b.has(6, 7))
        return l;
    quint64 width = b.le16(6), height = b.le16(8);
    qsizetype pos = 13;
    if (b.at(10) & 0x80)
        pos += 3 << ((b.at(10) & 7) + 1);
    const auto skipSubBlocks = [&b, &pos] {
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
    };
    bool sawImage = false;
    while (b.has(pos, 1)) {
        const uchar block = b.at(pos++);
        if (block == 0x3b) {
            if (sawImage) {
                l.shape = PictureShape::Complete;
                l.width = width;
                l.height = height;
            }
            return l;
        }
        if (block == 0x21) {
            if (!b.has(pos, 1))
                return l;
            ++pos;
        } else if (block == 0x2c) {
            if (!b.has(pos, 9))
                return l;
            // A frame may reach past the logical screen; the decoder's canvas then grows.
            width = qMax(width, quint64(b.le16(pos)) + b.le16(pos + 4));
            height = qMax(height, quint64(b.le16(pos + 2)) + b.le16(pos + 6));
            const uchar packed = b.at(pos + 8);
            pos += 9;
            if (packed & 0x80)
                pos += 3 << ((packed & 7) + 1);
            if (!b.has(pos, 1))
                return l;
            ++pos; // LZW minimum code size
            sawImage = true;
        } else {
            return l;
        }
        if (!skipSubBlocks())
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
        if (count != 0 || code == 0)
            continue;
        if (code == 1)
            return true;
        if (code == 2) {
            pos += 2;
        } else {
            const qsizetype bytes = fourBit ? (code + 1) / 2 : code;
            pos += (bytes + 1) & ~qsizetype(1);
        }
    }
    return false;
}

PictureLayout walkBmp(const Bytes &b)
{
    if (!b.startsWith("BM", 2))
        return {};
    PictureLayout l{PictureShape::Broken};
    if (!b.has(0, 18))
        return l;
    const quint32 offBits = b.le32(10);
    const quint32 infoSize = b.le32(14);
    quint32 bitCount = 0, compression = 0;
    if (infoSize == 12) {
        if (!b.has(14, 12))
            return l;
        l.width = b.le16(18);
        l.height = b.le16(20);
        bitCount = b.le16(24);
    } else if (infoSize >= 40) {
        if (!b.has(14, 40))
            return l;
        const qint64 w = qint32(b.le32(18)), h = qint32(b.le32(22)); // negative height: top-down
        l.width = quint64(w < 0 ? -w : w);
        l.height = quint64(h < 0 ? -h : h);
        bitCount = b.le16(28);
        compression = b.le32(30);
    } else {
        return l;
    }
    if (l.width == 0 || l.height == 0 || offBits > b.size())
        return l;
    const bool plain = compression == 0 || compression == 3 || compression == 6;
    if (plain && (bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32)) {
        const quint64 stride = (l.width * bitCount + 31) / 32 * 4;
        if (l.height > quint64(b.size() - offBits) / stride)
            return l;
    } else if ((compression == 1 && bitCount == 8) || (compression == 2 && bitCount == 4)) {
        if (!rleReachesEnd(b, offBits, compression == 2))
            return l;
    }
    // Other encodings (embedded JPEG/PNG, odd depths) are left to the decoder.
    l.shape = PictureShape::Complete;
    return l;
}

bool isStartOfFrame(uchar marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// libjpeg passes over the whole picture once per progressive scan, so a few kilobytes of
// repeated scans keep it busy for minutes; encoders write about ten. The budget, in pixels
// visited plus a fixed cost a scan, is about a second's work.
constexpr quint64 JpegScanCost = 1024;
constexpr quint64 JpegScanBudget = quint64(1) << 30;

struct JpegFrame {
    bool huffmanSequential = false; // baseline or extended, Huffman-coded
    bool progressive = false;
    quint64 minBlocks = 0;         // 8x8 blocks of all components, without padding
    quint64 coefficientBytes = 0;  // libjpeg's whole-image coefficient buffer
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
    f.progressive = marker == 0xc2 || marker == 0xc6 || marker == 0xca || marker == 0xce;
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

PictureLayout walkJpeg(const Bytes &b)
{
    if (!b.startsWith("\xff\xd8", 2))
        return {};
    PictureLayout l{PictureShape::Broken};
    JpegFrame frame;
    quint64 scans = 0;
    quint64 entropyBytes = 0;
    qsizetype pos = 2;
    for (;;) {
        if (!b.has(pos, 2) || b.at(pos) != 0xff)
            return l;
        while (b.has(pos + 1, 1) && b.at(pos + 1) == 0xff)
            ++pos; // fill bytes
        if (!b.has(pos, 2))
            return l;
        const uchar marker = b.at(pos + 1);
        pos += 2;
        if (marker == 0xd9) {
            // Whatever follows the end of image (padding, vendor trailers) is not ours to judge.
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
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue;
        if (marker == 0x00 || marker == 0xd8 || !b.has(pos, 2))
            return l;
        const quint32 len = b.be16(pos);
        if (len < 2 || !b.has(pos, len))
            return l;
        if (isStartOfFrame(marker) && !readFrame(b, pos, len, marker, l, frame))
            return l;
        pos += len;
        if (marker != 0xda)
            continue;
        if (l.width == 0)
            return l;
        ++scans;
        // Entropy-coded data runs to the next marker; FF 00 (one data byte) and restart
        // markers belong to it.
        for (;;) {
            const void *ff = std::memchr(b.data() + pos, 0xff, size_t(b.size() - pos));
            if (!ff)
                return l;
            const qsizetype at = static_cast<const uchar *>(ff) - b.data();
            entropyBytes += quint64(at - pos);
            pos = at;
            if (!b.has(pos, 2))
                return l;
            const uchar next = b.at(pos + 1);
            if (next == 0x00) {
                ++entropyBytes;
                pos += 2;
            } else if (next >= 0xd0 && next <= 0xd7) {
                pos += 2;
            } else if (next == 0xff) {
                ++pos;
            } else {
                break;
            }
        }
    }
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

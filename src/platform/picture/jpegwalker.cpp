// SPDX-License-Identifier: MIT
// The JPEG walker: every marker and segment from start to end of image, the scans' cost, and enough
// entropy-coded data for the blocks a frame declares.
#include "platform/picture/picturebytes.h"

namespace zentyr {

namespace {

// The byte after 0xFF that names a JPEG marker.
namespace jpeg {
constexpr uchar Stuffed = 0x00; // FF 00 in entropy-coded data: a data byte of FF
constexpr uchar Tem = 0x01;     // stands alone
constexpr uchar Sof0 = 0xc0;    // baseline
constexpr uchar Sof1 = 0xc1;    // extended sequential
constexpr uchar Sof2 = 0xc2;    // progressive
constexpr uchar Dht = 0xc4;
constexpr uchar Sof6 = 0xc6; // differential progressive
constexpr uchar Jpg = 0xc8;
constexpr uchar Sof10 = 0xca; // progressive, arithmetic
constexpr uchar Dac = 0xcc;
constexpr uchar Sof14 = 0xce; // differential progressive, arithmetic
constexpr uchar Sof15 = 0xcf;
constexpr uchar Rst0 = 0xd0; // restart markers stand alone
constexpr uchar Rst7 = 0xd7;
constexpr uchar Soi = 0xd8;
constexpr uchar Eoi = 0xd9;
constexpr uchar Sos = 0xda;
constexpr uchar Prefix = 0xff; // before every marker, and as fill before one
} // namespace jpeg

bool isStartOfFrame(uchar marker)
{
    return marker >= jpeg::Sof0 && marker <= jpeg::Sof15 && marker != jpeg::Dht && marker != jpeg::Jpg
        && marker != jpeg::Dac;
}

bool isRestart(uchar marker) { return marker >= jpeg::Rst0 && marker <= jpeg::Rst7; }

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
    f.huffmanSequential = marker == jpeg::Sof0 || marker == jpeg::Sof1;
    f.progressive = marker == jpeg::Sof2 || marker == jpeg::Sof6 || marker == jpeg::Sof10 || marker == jpeg::Sof14;
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
    if (!b.has(pos, 2) || b.at(pos) != jpeg::Prefix)
        return false;
    while (b.has(pos + 1, 1) && b.at(pos + 1) == jpeg::Prefix)
        ++pos;
    if (!b.has(pos, 2))
        return false;
    marker = b.at(pos + 1);
    pos += 2;
    return true;
}

// Steps over a marker's segment, reading it if it is a frame header.
bool readJpegSegment(const Bytes &b, qsizetype &pos, uchar marker, PictureLayout &l, JpegFrame &frame)
{
    if (marker == jpeg::Stuffed || marker == jpeg::Soi || !b.has(pos, 2))
        return false;
    const quint32 len = b.be16(pos);
    if (len < 2 || !b.has(pos, len))
        return false;
    if (isStartOfFrame(marker) && !readFrame(b, pos, len, marker, l, frame))
        return false;
    pos += len;
    return true;
}

// Entropy-coded data runs to the next marker; FF 00 (one data byte) and restart markers belong
// to it. Leaves pos on that marker, counting the data bytes on the way.
bool skipEntropyCodedData(const Bytes &b, qsizetype &pos, quint64 &dataBytes)
{
    for (;;) {
        const void *ff = std::memchr(b.data() + pos, jpeg::Prefix, size_t(b.size() - pos));
        if (!ff)
            return false;
        const qsizetype at = static_cast<const uchar *>(ff) - b.data();
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

} // namespace

PictureLayout walkJpeg(const Bytes &b)
{
    if (!b.startsWith("\xff\xd8", 2))
        return {};
    PictureLayout l{PictureShape::Broken};
    JpegFrame frame;
    quint64 scans = 0;
    quint64 entropyBytes = 0;
    qsizetype pos = 2;
    uchar marker = 0;
    while (readJpegMarker(b, pos, marker)) {
        // Whatever follows the end of image (padding, vendor trailers) is not ours to judge.
        if (marker == jpeg::Eoi)
            return finishJpeg(l, frame, scans, entropyBytes);
        if (marker == jpeg::Tem || isRestart(marker))
            continue;
        if (!readJpegSegment(b, pos, marker, l, frame))
            return l;
        if (marker != jpeg::Sos)
            continue;
        if (l.width == 0 || !skipEntropyCodedData(b, pos, entropyBytes))
            return l;
        ++scans;
    }
    return l;
}

} // namespace zentyr

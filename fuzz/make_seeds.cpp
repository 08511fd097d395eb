// SPDX-License-Identifier: MIT
// Writes the fuzzer's seed corpus: small valid and broken JPEG, GIF, BMP and PNG files.
// Usage: zentyr_fuzz_seeds OUTPUT_DIR
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cstdio>

namespace {

QByteArray le16(quint16 v) { return QByteArray(1, char(v & 0xff)) + char(v >> 8); }
QByteArray le32(quint32 v) { return le16(quint16(v)) + le16(quint16(v >> 16)); }

// Two colour halves, so decoders have something besides a flat fill.
QImage sample(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, x < w / 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 255, y % 2 ? 255 : 128));
    return img.convertToFormat(format);
}

QByteArray encode(const QImage &img, const char *format, int quality = -1, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(img))
        std::fprintf(stderr, "cannot write %s: %s\n", format, qPrintable(writer.errorString()));
    return bytes;
}

// Where a JPEG's start-of-frame marker stands.
qsizetype jpegFrame(const QByteArray &jpeg) { return jpeg.indexOf("\xff\xc0"); }

// Qt writes no GIF: two colours, the code table cleared every two pixels so codes stay 3 bits.
QByteArray gifImageData(quint16 w, quint16 h)
{
    QByteArray lzw;
    quint32 acc = 0;
    int bits = 0;
    const auto put = [&](int code) {
        acc |= quint32(code) << bits;
        for (bits += 3; bits >= 8; bits -= 8, acc >>= 8)
            lzw += char(acc & 0xff);
    };
    for (int i = 0; i < w * h; ++i) {
        if (i % 2 == 0)
            put(4);
        put(i % w < w / 2 ? 0 : 1);
    }
    put(5);
    if (bits)
        lzw += char(acc);
    QByteArray out = QByteArray(1, 2); // LZW minimum code size
    for (qsizetype at = 0; at < lzw.size(); at += 255)
        out += char(qMin<qsizetype>(255, lzw.size() - at)) + lzw.mid(at, 255);
    return out + QByteArray(1, 0);
}

QByteArray gif(quint16 w, quint16 h, int frames)
{
    QByteArray g = "GIF89a" + le16(w) + le16(h)
        + QByteArray::fromHex("800000"
                              "ff0000"
                              "0000ff");
    if (frames > 1) // looping application extension
        g += QByteArray::fromHex("21ff0b") + "NETSCAPE2.0"
            + QByteArray::fromHex("03010000"
                                  "00");
    for (int f = 0; f < frames; ++f) {
        g += QByteArray::fromHex("21f904"
                                 "04"
                                 "0a00"
                                 "00"
                                 "00"); // 100 ms delay
        g += char(0x2c) + le32(0) + le16(w) + le16(h) + QByteArray(1, 0) + gifImageData(w, h);
    }
    return g + char(0x3b);
}

QByteArray rle8Bmp(quint32 w, quint32 h)
{
    QByteArray rle;
    for (quint32 y = 0; y < h; ++y)
        rle += QByteArray::fromHex(QByteArray::number(w / 2, 16).rightJustified(2, '0') + "00"
                                   + QByteArray::number(w - w / 2, 16).rightJustified(2, '0') + "01" + "0000");
    rle += QByteArray::fromHex("0001");
    return "BM" + le32(62 + rle.size()) + le32(0) + le32(62) + le32(40) + le32(w) + le32(h) + le16(1) + le16(8)
        + le32(1) + le32(rle.size()) + le32(2835) + le32(2835) + le32(2) + le32(0)
        + QByteArray::fromHex("0000ff00"
                              "ff000000")
        + rle;
}

QByteArray withByte(QByteArray b, qsizetype at, char value)
{
    if (at >= 0 && at < b.size())
        b[at] = value;
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;

    QList<QPair<QString, QByteArray>> seeds;
    const auto valid = [&](const QString &name, const QByteArray &bytes) { seeds.append({name, bytes}); };

    const QByteArray png = encode(sample(12, 8), "png");
    const QByteArray pngAlpha = encode(sample(7, 5, QImage::Format_ARGB32), "png");
    const QByteArray pngIndexed = encode(sample(9, 4, QImage::Format_Indexed8), "png");
    const QByteArray png16 = encode(sample(6, 5, QImage::Format_RGBA64), "png");
    const QByteArray jpeg = encode(sample(16, 8), "jpeg", 75);
    const QByteArray jpegProgressive = encode(sample(16, 16), "jpeg", 50, true);
    const QByteArray bmp24 = encode(sample(5, 3, QImage::Format_RGB888), "bmp");
    const QByteArray bmp8 = encode(sample(6, 4, QImage::Format_Indexed8), "bmp");
    const QByteArray bmpRle = rle8Bmp(8, 4);
    const QByteArray gif1 = gif(8, 4, 1);
    const QByteArray gif2 = gif(6, 3, 2);
    for (const QByteArray *b : {&png, &pngAlpha, &pngIndexed, &png16, &jpeg, &jpegProgressive, &bmp24, &bmp8})
        if (b->isEmpty())
            return 1;

    valid(QStringLiteral("valid.png"), png);
    valid(QStringLiteral("valid-alpha.png"), pngAlpha);
    valid(QStringLiteral("valid-indexed.png"), pngIndexed);
    valid(QStringLiteral("valid-16bit.png"), png16);
    valid(QStringLiteral("valid.jpg"), jpeg);
    valid(QStringLiteral("valid-progressive.jpg"), jpegProgressive);
    valid(QStringLiteral("valid-24.bmp"), bmp24);
    valid(QStringLiteral("valid-8.bmp"), bmp8);
    valid(QStringLiteral("valid-rle8.bmp"), bmpRle);
    valid(QStringLiteral("valid.gif"), gif1);
    valid(QStringLiteral("valid-animated.gif"), gif2);

    // Broken: cut short, missing their end, a corrupted header field, a wrong length.
    valid(QStringLiteral("broken-half.png"), png.left(png.size() / 2));
    valid(QStringLiteral("broken-no-iend.png"), png.left(png.size() - 12));
    valid(QStringLiteral("broken-crc.png"), withByte(png, 29, 0x55));
    valid(QStringLiteral("broken-half.jpg"), jpeg.left(jpeg.size() / 2));
    valid(QStringLiteral("broken-no-eoi.jpg"), jpeg.left(jpeg.size() - 2));
    valid(QStringLiteral("broken-segment.jpg"), withByte(jpeg, 5, char(0xff)));
    valid(QStringLiteral("broken-short-scan.jpg"),
          withByte(withByte(jpeg, jpegFrame(jpeg) + 5, char(0x08)), jpegFrame(jpeg) + 7, char(0x08)));
    valid(QStringLiteral("broken-half-progressive.jpg"), jpegProgressive.left(jpegProgressive.size() * 2 / 3));
    valid(QStringLiteral("broken-half.bmp"), bmp24.left(bmp24.size() / 2));
    valid(QStringLiteral("broken-offset.bmp"), withByte(bmp8, 10, char(0xf0)));
    valid(QStringLiteral("broken-rle-no-end.bmp"), bmpRle.left(bmpRle.size() - 2));
    valid(QStringLiteral("broken-no-trailer.gif"), gif1.left(gif1.size() - 1));
    valid(QStringLiteral("broken-half.gif"), gif2.left(gif2.size() / 2));
    valid(QStringLiteral("broken-huge-screen.gif"), withByte(withByte(gif1, 7, char(0xff)), 9, char(0xff)));
    valid(QStringLiteral("broken-empty"), QByteArray());

    for (const auto &[name, bytes] : seeds) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return 1;
    }
    std::printf("%lld seeds in %s\n", static_cast<long long>(seeds.size()), qPrintable(dir.absolutePath()));
    return 0;
}

// SPDX-License-Identifier: MIT
#include "platform/picture/picture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace zentyr;

namespace {

QByteArray raw(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out += char(b);
    return out;
}
QByteArray le16(quint16 v) { return raw({v & 0xff, v >> 8}); }
QByteArray le32(quint32 v) { return le16(quint16(v)) + le16(quint16(v >> 16)); }

// 37x23, red left of x=20, blue from there; every sample encodes this.
constexpr int W = 37, H = 23, Split = 20;

QByteArray encode(const char *format)
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::red);
    for (int y = 0; y < H; ++y)
        for (int x = Split; x < W; ++x)
            img.setPixel(x, y, qRgb(0, 0, 255));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

// Qt writes no GIF: two colours, the code table cleared every two pixels so all codes stay 3 bits.
QByteArray gif(quint16 w, quint16 h, qsizetype pixels)
{
    QByteArray lzw;
    quint32 acc = 0;
    int bits = 0;
    const auto put = [&](int code) {
        acc |= quint32(code) << bits;
        for (bits += 3; bits >= 8; bits -= 8, acc >>= 8)
            lzw += char(acc & 0xff);
    };
    for (qsizetype i = 0; i < pixels; ++i) {
        if (i % 2 == 0)
            put(4);
        put(i % w < Split ? 0 : 1);
    }
    put(5);
    if (bits)
        lzw += char(acc);
    QByteArray g = "GIF89a" + le16(w) + le16(h)
        + QByteArray::fromHex("800000"
                              "ff0000"
                              "0000ff"
                              "2c")
        + le32(0) + le16(w) + le16(h) + QByteArray(1, 0) + QByteArray(1, 2);
    for (qsizetype at = 0; at < lzw.size(); at += 255)
        g += char(qMin<qsizetype>(255, lzw.size() - at)) + lzw.mid(at, 255);
    return g + QByteArray::fromHex("003b");
}

// A comment extension with no data and a graphic control extension before the image.
QByteArray gifWithExtensions()
{
    return gif(W, H, W * H)
        .insert(19,
                QByteArray::fromHex("21fe00"
                                    "21f9040000000000"));
}

// The sample as an OS/2 bitmap: a 12-byte header with 16-bit sizes, then Qt's 24-bit rows.
QByteArray os2Bmp()
{
    const QByteArray bmp = encode("BMP");
    return "BM" + le32(26 + bmp.size() - 54) + le32(0) + le32(26) + le32(12) + le16(W) + le16(H) + le16(1) + le16(24)
        + bmp.mid(54);
}

QByteArray rleBmp(quint32 w, quint32 h, const QByteArray &rle)
{
    return "BM" + le32(62 + rle.size()) + le32(0) + le32(62) + le32(40) + le32(w) + le32(h) + le16(1) + le16(8)
        + le32(1) + le32(rle.size()) + le32(2835) + le32(2835) + le32(2) + le32(0)
        + QByteArray::fromHex("0000ff00"
                              "ff000000")
        + rle;
}

QByteArray sampleRleBmp()
{
    QByteArray rle;
    for (int y = 0; y < H; ++y)
        rle += raw({Split, 0, W - Split, 1, 0, y == H - 1 ? 1 : 0});
    return rleBmp(W, H, rle);
}

// Each row's red part skipped by a delta escape: the reader leaves it to the first colour, red.
QByteArray skippingRleBmp()
{
    QByteArray rle;
    for (int y = 0; y < H; ++y)
        rle += raw({0, 2, Split, 0, W - Split, 1, 0, y == H - 1 ? 1 : 0});
    return rleBmp(W, H, rle);
}

// Progressive, with its last scan repeated thousands of times: valid, but seconds of decoding.
QByteArray manyScans()
{
    QImage img(1000, 1000, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(img);
    const qsizetype lastScan = bytes.lastIndexOf("\xff\xda");
    return bytes.chopped(2) + bytes.mid(lastScan, bytes.size() - 2 - lastScan).repeated(5000) + "\xff\xd9";
}

QByteArray patched(QByteArray b, qsizetype at, const QByteArray &with) { return b.replace(at, with.size(), with); }
QByteArray be16(quint16 v) { return raw({v >> 8, v & 0xff}); }
QByteArray be32(quint32 v) { return be16(quint16(v >> 16)) + be16(quint16(v)); }

// The sample as a JPEG whose frame header claims width x height.
QByteArray jpegClaiming(quint16 width, quint16 height, bool progressive)
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(img);
    const qsizetype frame = bytes.indexOf(progressive ? "\xff\xc2" : "\xff\xc0");
    return patched(bytes, frame + 5, be16(height) + be16(width));
}

// The sample as a 16-bit PNG whose header, checksum included, claims width x height.
QByteArray png16Claiming(quint32 width, quint32 height)
{
    QImage img(W, H, QImage::Format_RGBA64);
    img.fill(Qt::red);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    bytes = patched(bytes, 16, be32(width) + be32(height));
    quint32 crc = 0xffffffff;
    for (const char c : bytes.mid(12, 17)) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xedb88320 ^ (crc >> 1) : crc >> 1;
    }
    return patched(bytes, 29, be32(~crc));
}

// Uncompressed 24-bit TGA, top row first. Its first bytes read as a Windows cursor's; only the
// footer at its end says TGA.
QByteArray tga()
{
    QByteArray t = raw({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + le16(W) + le16(H) + raw({24, 0x20});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            t += x < Split ? raw({0, 0, 255}) : raw({255, 0, 0});
    return t + QByteArray(8, 0) + "TRUEVISION-XFILE." + QByteArray(1, 0);
}

// Peak memory from here on, through the kernel's resettable high-water mark.
long statusKb(const char *field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}
long startPeakKb()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    return statusKb("VmRSS:");
}
long peakSinceKb(long startKb) { return statusKb("VmHWM:") - startKb; }

constexpr auto NotFound = PictureError::FileNotFound, Access = PictureError::FileAccess,
               Invalid = PictureError::InvalidPicture, Memory = PictureError::OutOfMemory;

// The picture, or a null one with the error in the test log.
QImage loadLogged(const PictureResult &result)
{
    if (result.error != PictureError::None)
        qWarning("error %d", int(result.error));
    return result.image;
}

} // namespace

class TestPlatformPicture : public QObject {
    Q_OBJECT
private slots:
    void loadsCompletePictures_data();
    void loadsCompletePictures();
    void rejectsBadFiles_data();
    void rejectsBadFiles();
    void everyTruncationIsInvalid();
    void largestProgressiveJpegPeak();

private:
    QTemporaryDir dir;
};

void TestPlatformPicture::loadsCompletePictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("png") << "picture" << encode("PNG") << 0;
    QTest::newRow("png, bytes after IEND") << "picture" << encode("PNG") + "trailer" << 0;
    QTest::newRow("png named .jpg") << "picture.jpg" << encode("PNG") << 0;
    QTest::newRow("bmp") << "picture" << encode("BMP") << 0;
    QTest::newRow("bmp, run-length") << "picture" << sampleRleBmp() << 0;
    QTest::newRow("bmp, run-length skipping pixels") << "picture" << skippingRleBmp() << 0;
    QTest::newRow("gif") << "picture" << gif(W, H, W * H) << 0;
    QTest::newRow("jpeg") << "picture" << encode("JPEG") << 40;
    QTest::newRow("jpeg, padding after EOI") << "picture" << encode("JPEG") + QByteArray(300, 0) << 40;
    QTest::newRow("jpeg, fill bytes before a marker")
        << "picture" << encode("JPEG").replace("\xff\xda", "\xff\xff\xff\xda") << 40;
    QTest::newRow("jpeg, markers without length after SOI")
        << "picture" << encode("JPEG").insert(2, QByteArray::fromHex("ff01ffd0")) << 40;
    // A restart marker belongs to the scan: the bytes after it are still its data.
    QTest::newRow("jpeg, restart marker in its data")
        << "picture" << encode("JPEG").chopped(2) + QByteArray::fromHex("ffd01234ffffffd9") << 40;
    QTest::newRow("gif, extensions") << "picture" << gifWithExtensions() << 0;
    QTest::newRow("bmp, top-down") << "picture" << patched(encode("BMP"), 22, le32(quint32(-H))) << 0;
    QTest::newRow("bmp, OS/2 header") << "picture" << os2Bmp() << 0;
    QTest::newRow("tga by extension") << "picture.TGA" << tga() << 0;
}

void TestPlatformPicture::loadsCompletePictures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, tolerance);
    QFile f(dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    f.close();
    const QImage img = loadLogged(loadPictureFile(f.fileName()));
    QCOMPARE(img.size(), QSize(W, H));
    const auto near = [tolerance](QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
            && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
    };
    for (int y : {0, H / 2, H - 1}) {
        QVERIFY2(near(img.pixel(3, y), qRgb(255, 0, 0)), qPrintable(QString::number(img.pixel(3, y), 16)));
        QVERIFY2(near(img.pixel(W - 3, y), qRgb(0, 0, 255)), qPrintable(QString::number(img.pixel(W - 3, y), 16)));
    }
}

void TestPlatformPicture::rejectsBadFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<PictureError>("error");
    const QByteArray png = encode("PNG"), jpeg = encode("JPEG"), bmp = encode("BMP"), gif89 = gif(W, H, W * H);
    QTest::newRow("missing") << "missing" << QByteArray() << NotFound;
    QTest::newRow("missing folder") << "missing folder" << QByteArray() << NotFound;
    QTest::newRow("directory") << "directory" << QByteArray() << Access;
    QTest::newRow("fifo") << "fifo" << QByteArray() << Access;
    QTest::newRow("/dev/zero") << "/dev/zero" << QByteArray() << Access;
    QTest::newRow("unreadable") << "unreadable" << png << Access;
    QTest::newRow("over the size cap") << "sparse" << QByteArray() << Memory;
    QTest::newRow("text") << "file" << QByteArray("Ruler notes\nline two\n") << Invalid;
    QTest::newRow("empty") << "file" << QByteArray() << Invalid;
    QTest::newRow("truncated png") << "file" << png.left(png.size() / 2) << Invalid;
    QTest::newRow("truncated jpeg") << "file" << jpeg.left(jpeg.size() / 2) << Invalid;
    QTest::newRow("jpeg without EOI") << "file" << jpeg.chopped(2) << Invalid;
    QTest::newRow("truncated gif") << "file" << gif89.chopped(1) << Invalid;
    QTest::newRow("truncated bmp") << "file" << bmp.chopped(1) << Invalid;
    QTest::newRow("png zero width") << "file" << patched(png, 16, le32(0)) << Invalid;
    QTest::newRow("jpeg bad SOI") << "file" << patched(jpeg, 1, "\x01") << Invalid;
    QTest::newRow("gif bad block") << "file" << patched(gif89, 19, "\x99") << Invalid;
    QTest::newRow("bmp bad header size") << "file" << patched(bmp, 14, le32(7)) << Invalid;
    QTest::newRow("jpeg with 5000 scans") << "file" << manyScans() << Invalid;
    // Fewer than two bits for each 8x8 block cannot be a whole 8000x4000 picture.
    QTest::newRow("jpeg, short scan") << "file" << jpegClaiming(8000, 4000, false) << Invalid;
    QTest::newRow("tga without extension") << "file" << tga() << Invalid;
    // Qt's MNG reader reports success for this and hands back no picture.
    QTest::newRow("mng, no picture") << "file"
                                     << QByteArray::fromBase64("ik1ORw0KGgoAAAANSUhEJAD/AAAAACAAAAgIMAIkpgAAAAkBqA==")
                                     << Invalid;
    // Within the pixel count, but 8 bytes a pixel as decoded.
    QTest::newRow("png 16-bit 8192x4096") << "file" << png16Claiming(8192, 4096) << Memory;
    // Within the pixel count, but the decoder keeps every coefficient until the last scan.
    QTest::newRow("jpeg progressive 8192x4096") << "file" << jpegClaiming(8192, 4096, true) << Memory;
    // A few hundred bytes that promise 60000 x 60000 pixels.
    QTest::newRow("png bomb") << "file" << patched(png, 16, QByteArray::fromHex("0000ea600000ea60")) << Memory;
    QTest::newRow("gif bomb") << "file" << gif(60000, 60000, 64) << Memory;
    QTest::newRow("bmp bomb") << "file" << rleBmp(60000, 60000, QByteArray::fromHex("0001")) << Memory;
}

void TestPlatformPicture::rejectsBadFiles()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(PictureError, error);
    QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace('/', '_'));
    if (kind == "missing folder") {
        path = dir.filePath("no such folder/picture.png");
    } else if (kind == "directory") {
        QVERIFY(QDir(dir.path()).mkpath(path));
    } else if (kind == "fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "/dev/zero") {
        path = kind;
    } else if (kind != "missing") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        if (kind == "sparse")
            QVERIFY(f.resize(PictureFileSizeLimit + 1));
        f.close();
        if (kind == "unreadable") {
            if (geteuid() == 0)
                QSKIP("root reads a file whatever its mode, so there is no unreadable file to offer");
            QVERIFY(f.setPermissions({}));
        }
    }
    const long start = startPeakKb();
    QElapsedTimer timer;
    timer.start();
    const PictureResult result = loadPictureFile(path);
    QCOMPARE(result.error, error);
    QVERIFY(result.image.isNull());
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed()) + " ms"));
    QVERIFY2(peakSinceKb(start) < 50 * 1024, qPrintable(QString::number(peakSinceKb(start)) + " KB"));
}

void TestPlatformPicture::everyTruncationIsInvalid()
{
    // Decoders happily return the part they got; no prefix of a picture may pass for one.
    for (const QByteArray &whole : {encode("PNG"), encode("JPEG"), encode("BMP"), os2Bmp(), sampleRleBmp(),
                                    gif(W, H, W * H), gifWithExtensions()}) {
        QVERIFY(!loadLogged(loadPictureData(whole)).isNull());
        for (qsizetype n = 0; n < whole.size(); ++n) {
            if (loadPictureData(whole.left(n)).error != Invalid)
                QFAIL(qPrintable(QString("prefix of %1 of %2 bytes").arg(n).arg(whole.size())));
        }
    }
}

void TestPlatformPicture::largestProgressiveJpegPeak()
{
    // 4096x4096 at 4:2:0: 50 MB of coefficients and a 64 MB picture, just within the limit.
    QByteArray bytes;
    {
        QImage img(4096, 4096, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            std::fill_n(reinterpret_cast<QRgb *>(img.scanLine(y)), img.width(), qRgb(y % 256, 128, 255 - y % 256));
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        QImageWriter writer(&buf, "jpeg");
        writer.setProgressiveScanWrite(true);
        QVERIFY(writer.write(img));
    }
    const long start = startPeakKb();
    const PictureResult loaded = loadPictureData(bytes);
    const long peakKb = peakSinceKb(start);
    QCOMPARE(loaded.error, PictureError::None);
    QCOMPARE(loaded.image.size(), QSize(4096, 4096));
    qInfo("peak while loading: %ld KB", peakKb);
    QVERIFY2(peakKb < 200 * 1024, qPrintable(QString::number(peakKb) + " KB"));
}

QTEST_GUILESS_MAIN(TestPlatformPicture)
#include "test_platform_picture.moc"

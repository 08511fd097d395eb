// SPDX-License-Identifier: MIT
// The program icon, its .ico form and the files the build writes from it.
// Expectations come from pixels read off the icon by hand; the other forms must
// show the same pixels as the program's own image.

#include "artwork/artwork.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace zentyr::artwork;

namespace {

// The five colours the icon uses.
const QRgb Black = qRgb(0, 0, 0);
const QRgb Olive = qRgb(0x80, 0x80, 0);
const QRgb Grey = qRgb(0x80, 0x80, 0x80);
const QRgb Silver = qRgb(0xC0, 0xC0, 0xC0);
const QRgb Yellow = qRgb(0xFF, 0xFF, 0);

// Every pixel as the program's own icon image has it, fully opaque.
void compareWithIcon(const QImage &image, int size, const char *what)
{
    QCOMPARE(image.size(), QSize(size, size));
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QImage want = iconImage(size).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            QVERIFY2(argb.pixel(x, y) == want.pixel(x, y),
                     qPrintable(QStringLiteral("%1: pixel (%2, %3) is #%4, want #%5")
                                    .arg(QLatin1String(what))
                                    .arg(x)
                                    .arg(y)
                                    .arg(argb.pixel(x, y), 8, 16, QChar('0'))
                                    .arg(want.pixel(x, y), 8, 16, QChar('0'))));
}

quint32 u32(const QByteArray &b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 u16(const QByteArray &b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

void decodeIco(const QByteArray &ico)
{
    QBuffer buffer;
    buffer.setData(ico);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QCOMPARE(reader.imageCount(), 2);
    QList<QImage> images;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(reader.jumpToImage(i));
        images << reader.read();
        QVERIFY2(!images.last().isNull(), qPrintable(reader.errorString()));
    }
    compareWithIcon(images[0], 32, "ico 32");
    compareWithIcon(images[1], 16, "ico 16");
}

} // namespace

class TestArtworkIcon : public QObject {
    Q_OBJECT

private slots:
    void pixelsReadOffTheRows();
    void formatAndColours();
    void otherSizesAreNull();
    void drawnLargeSizes();
    void programIconHasBothSizes();
    void icoLayout();
    void icoDecodes();
    void generatedFiles();
};

void TestArtworkIcon::pixelsReadOffTheRows()
{
    const QImage big = iconImage(32).convertToFormat(QImage::Format_ARGB32);
    // Top row: silver, the vertical ruler's black end over columns 8..15 and
    // its grey shadow in column 16.
    QCOMPARE(big.pixel(7, 0), Silver);
    QCOMPARE(big.pixel(8, 0), Black);
    QCOMPARE(big.pixel(15, 0), Black);
    QCOMPARE(big.pixel(16, 0), Grey);
    QCOMPARE(big.pixel(31, 0), Silver);
    // The vertical ruler's ticks on its right edge: 3 pixels on line 5, 4 on line 21.
    QCOMPARE(big.pixel(12, 4), Yellow);
    QCOMPARE(big.pixel(13, 4), Black);
    QCOMPARE(big.pixel(11, 20), Yellow);
    QCOMPARE(big.pixel(12, 20), Black);
    // The horizontal ruler: black edges on rows 8 and 16, ticks every 2, 4, 8 pixels.
    for (int x = 0; x < 32; ++x) {
        QCOMPARE(big.pixel(x, 8), Black);
        QCOMPARE(big.pixel(x, 16), Black);
        QCOMPARE(big.pixel(x, 9), x % 2 ? Yellow : Black);
        QCOMPARE(big.pixel(x, 10), x % 4 ? Yellow : Black);
        QCOMPARE(big.pixel(x, 11), x % 8 || x == 8 ? Yellow : Black);
        QCOMPARE(big.pixel(x, 12), x ? Yellow : Black);
    }
    // Its shadow, olive under the vertical ruler.
    QCOMPARE(big.pixel(0, 17), Grey);
    QCOMPARE(big.pixel(9, 17), Olive);
    QCOMPARE(big.pixel(14, 17), Olive);
    QCOMPARE(big.pixel(15, 17), Black);

    const QImage small = iconImage(16).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(small.pixel(2, 0), Silver);
    QCOMPARE(small.pixel(3, 0), Black);
    QCOMPARE(small.pixel(8, 0), Grey);
    QCOMPARE(small.pixel(5, 2), Black);
    QCOMPARE(small.pixel(5, 12), Yellow);
    QCOMPARE(small.pixel(6, 12), Black);
    for (int x = 0; x < 16; ++x) {
        QCOMPARE(small.pixel(x, 5), x % 2 ? Yellow : Black);
        QCOMPARE(small.pixel(x, 6), x % 4 == 2 || x == 0 ? Black : Yellow);
        QCOMPARE(small.pixel(x, 9), x == 3 || x == 7 ? Black : (x > 3 && x < 7 ? Yellow : Grey));
    }
}

void TestArtworkIcon::formatAndColours()
{
    // Sixteen palette entries, of which the pixel art uses five (the small image no olive).
    for (int size : {32, 16}) {
        const QImage img = iconImage(size);
        QCOMPARE(img.size(), QSize(size, size));
        QCOMPARE(img.format(), QImage::Format_Indexed8);
        QCOMPARE(img.colorCount(), 16);
        QVERIFY(!img.hasAlphaChannel());
        QSet<QRgb> used;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                used.insert(img.pixel(x, y));
        QSet<QRgb> want{Black, Grey, Silver, Yellow};
        if (size == 32)
            want.insert(Olive);
        QCOMPARE(used, want);
    }
}

void TestArtworkIcon::otherSizesAreNull()
{
    QVERIFY(iconImage(24).isNull());
    QVERIFY(iconImage(0).isNull());
    QVERIFY(iconImage(-16).isNull());
}

void TestArtworkIcon::drawnLargeSizes()
{
    for (int size : {48, 64, 128, 256}) {
        const QImage img = drawnIconImage(size);
        QCOMPARE(img.size(), QSize(size, size));
        for (QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
            QCOMPARE(qAlpha(img.pixel(corner)), 0);
        // Away from the rounded corners every pixel of the plate is one of the pixel art's
        // colours: edges and ticks sit on whole pixels, nothing is smeared between them.
        const int edge = qRound(size / 32.0), corner = size * 5 / 32;
        for (int y = edge; y < size - edge; ++y)
            for (int x = corner; x < size - corner; ++x) {
                const QRgb c = img.pixel(x, y);
                QVERIFY2(c == Black || c == Olive || c == Grey || c == Silver || c == Yellow,
                         qPrintable(QStringLiteral("%1 px: (%2, %3) is #%4").arg(size).arg(x).arg(y).arg(c, 8, 16)));
            }
    }
    // Drawn afresh, not the 32 px image grown pixel for pixel.
    const QImage drawn = drawnIconImage(64);
    const QImage grown = iconImage(32)
                             .scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
    int differ = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            differ += drawn.pixel(x, y) != grown.pixel(x, y);
    QVERIFY2(differ > 64 * 64 / 4, qPrintable(QString::number(differ)));
}

void TestArtworkIcon::programIconHasBothSizes()
{
    const QIcon icon = programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
    compareWithIcon(icon.pixmap(QSize(32, 32), 1.0).toImage(), 32, "icon 32");
    compareWithIcon(icon.pixmap(QSize(16, 16), 1.0).toImage(), 16, "icon 16");
}

void TestArtworkIcon::icoLayout()
{
    const QByteArray ico = icoFileBytes();
    // Header, two 16-byte entries, then 40 + 64 + 512 + 128 and 40 + 64 + 128 + 64 bytes.
    QCOMPARE(ico.size(), 6 + 32 + 744 + 296);
    QCOMPARE(u16(ico, 0), quint16(0));
    QCOMPARE(u16(ico, 2), quint16(1));
    QCOMPARE(u16(ico, 4), quint16(2));
    const int sizes[2] = {32, 16};
    const quint32 lengths[2] = {744, 296};
    const quint32 offsets[2] = {38, 782};
    for (int i = 0; i < 2; ++i) {
        const int e = 6 + 16 * i;
        QCOMPARE(int(quint8(ico[e])), sizes[i]);
        QCOMPARE(int(quint8(ico[e + 1])), sizes[i]);
        QCOMPARE(int(quint8(ico[e + 2])), 16);
        QCOMPARE(u16(ico, e + 4), quint16(1));
        QCOMPARE(u16(ico, e + 6), quint16(4));
        QCOMPARE(u32(ico, e + 8), lengths[i]);
        QCOMPARE(u32(ico, e + 12), offsets[i]);
        const int b = int(offsets[i]);
        QCOMPARE(u32(ico, b), quint32(40));
        QCOMPARE(u32(ico, b + 4), quint32(sizes[i]));
        QCOMPARE(u32(ico, b + 8), quint32(2 * sizes[i])); // colour rows and mask together
        QCOMPARE(u16(ico, b + 14), quint16(4));
        // Palette entries are blue, green, red, 0: entry 11 is yellow.
        QCOMPARE(ico.mid(b + 40 + 11 * 4, 4), QByteArray("\x00\xFF\xFF\x00", 4));
        // The AND mask, last in the entry, is all clear: every pixel opaque.
        const int maskBytes = sizes[i] * 4;
        QCOMPARE(ico.mid(b + int(lengths[i]) - maskBytes, maskBytes), QByteArray(maskBytes, '\0'));
    }
    // Rows are stored bottom-up, two pixels a byte, high nibble first: the
    // first stored row of the 32-pixel image is its last, "888888880bbbbbb07888...".
    QCOMPARE(ico.mid(38 + 40 + 64, 10), QByteArray("\x88\x88\x88\x88\x0b\xbb\xbb\xb0\x78\x88", 10));
    // ... and of the 16-pixel one "8880bbb078888888", padded to 8 bytes.
    QCOMPARE(ico.mid(782 + 40 + 64, 8), QByteArray("\x88\x80\xbb\xb0\x78\x88\x88\x88", 8));
}

void TestArtworkIcon::icoDecodes() { decodeIco(icoFileBytes()); }

void TestArtworkIcon::generatedFiles()
{
    // Run by the build's own check on what the generator wrote; otherwise on
    // files written here the same way.
    QString dir = qEnvironmentVariable("ZENTYR_GENERATED_ICONS");
    QTemporaryDir temp;
    if (dir.isEmpty()) {
        QVERIFY(temp.isValid());
        dir = temp.path();
        QString error;
        QVERIFY2(writeIconFiles(dir, error), qPrintable(error));
    }
    QFile ico(dir + QStringLiteral("/zentyr.ico"));
    QVERIFY2(ico.open(QIODevice::ReadOnly), qPrintable(ico.fileName()));
    const QByteArray bytes = ico.readAll();
    QCOMPARE(bytes, icoFileBytes());
    decodeIco(bytes);
    for (int size : {16, 32}) {
        const QString png = QStringLiteral("%1/icons/hicolor/%2x%2/apps/zentyr.png").arg(dir).arg(size);
        QImageReader reader(png);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage img = reader.read();
        QVERIFY2(!img.isNull(), qPrintable(png));
        compareWithIcon(img, size, "png");
    }
    // The theme sizes the build adds: 22 and 24 the 16 px image centred on a transparent
    // canvas, from 48 up the drawn icon.
    if (!qEnvironmentVariableIsEmpty("ZENTYR_GENERATED_ICONS")) {
        for (int size : {48, 64, 128, 256}) {
            const QString png = QStringLiteral("%1/icons/hicolor/%2x%2/apps/zentyr.png").arg(dir).arg(size);
            QCOMPARE(QImage(png).convertToFormat(QImage::Format_ARGB32), drawnIconImage(size));
        }
        struct Scaled {
            int size, source, factor, offset;
        };
        const Scaled table[] = {{22, 16, 1, 3}, {24, 16, 1, 4}};
        for (const Scaled &t : table) {
            const QString png = QStringLiteral("%1/icons/hicolor/%2x%2/apps/zentyr.png").arg(dir).arg(t.size);
            const QImage img = QImage(png).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!img.isNull(), qPrintable(png));
            QCOMPARE(img.size(), QSize(t.size, t.size));
            const int inner = t.source * t.factor;
            const QImage source = iconImage(t.source).convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < t.size; ++y)
                for (int x = 0; x < t.size; ++x) {
                    const int sx = x - t.offset, sy = y - t.offset;
                    const bool inside = sx >= 0 && sy >= 0 && sx < inner && sy < inner;
                    const QRgb want = inside ? source.pixel(sx / t.factor, sy / t.factor) : 0u;
                    QVERIFY2(img.pixel(x, y) == want,
                             qPrintable(QStringLiteral("%1 px: pixel (%2, %3) is #%4, want #%5")
                                            .arg(t.size)
                                            .arg(x)
                                            .arg(y)
                                            .arg(img.pixel(x, y), 8, 16, QChar('0'))
                                            .arg(want, 8, 16, QChar('0'))));
                }
        }
    }
    // Writing into a place that cannot be a folder fails with a reason.
    QString error;
    QVERIFY(!writeIconFiles(dir + QStringLiteral("/zentyr.ico/sub"), error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(TestArtworkIcon)
#include "test_artwork_icon.moc"

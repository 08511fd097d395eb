// SPDX-License-Identifier: MIT
#include "artwork/artwork.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <iterator>

namespace zentyr::artwork {

namespace {

// The standard 16-colour palette.
const QRgb Palette[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFF808080,
    0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// One hexadecimal palette index per pixel, rows from the top. A yellow
// horizontal ruler crossing a yellow vertical one on a silver ground.
const char *const Rows32[32] = {
    "88888888000000007888888888888888", "888888880bbbbbb07888888888888888", "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888", "888888880bbbb0007888888888888888", "888888880bbbbbb07888888888888888",
    "888888880bbbbb007888888888888888", "888888880bbbbbb07888888888888888", "00000000000000000000000000000000",
    "0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b", "0bbb0bbb0bbb0bbb0bbb0bbb0bbb0bbb", "0bbbbbbbbbbbbbbb0bbbbbbb0bbbbbbb",
    "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
    "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", "00000000000000000000000000000000", "77777777033333307777777777777777",
    "888888880bbbbb007888888888888888", "888888880bbbbbb07888888888888888", "888888880bbb00007888888888888888",
    "888888880bbbbbb07888888888888888", "888888880bbbbb007888888888888888", "888888880bbbbbb07888888888888888",
    "888888880bbbb0007888888888888888", "888888880bbbbbb07888888888888888", "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888", "888888880bbb00007888888888888888", "888888880bbbbbb07888888888888888",
    "888888880bbbbb007888888888888888", "888888880bbbbbb07888888888888888",
};

const char *const Rows16[16] = {
    "8880000078888888", "8880bbb078888888", "8880b00078888888", "8880bbb078888888",
    "0000000000000000", "0b0b0b0b0b0b0b0b", "0b0bbb0bbb0bbb0b", "0bbbbbbbbbbbbbbb",
    "0000000000000000", "7770bbb077777777", "8880b00078888888", "8880bbb078888888",
    "8880bb0078888888", "8880bbb078888888", "8880b00078888888", "8880bbb078888888",
};

const char *const *rowsFor(int size) { return size == 32 ? Rows32 : size == 16 ? Rows16 : nullptr; }

// The rows hold lower-case hexadecimal digits only.
int hexValue(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

void writeRaw(QDataStream &s, const QByteArray &bytes) { s.writeRawData(bytes.constData(), int(bytes.size())); }

// One icon image as stored in a .ico: header, palette, 4-bit colour rows and
// the 1-bit AND mask, both bottom-up with rows padded to 4 bytes.
QByteArray bitmapEntry(int size)
{
    const int colourStride = ((size * 4 + 31) / 32) * 4;
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray b;
    QDataStream s(&b, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    // Header size, width, height of colour rows and mask together, planes, bits per pixel,
    // uncompressed, image bytes, two resolutions, colours used (all 16), important colours.
    s << quint32(40) << quint32(size) << quint32(size * 2) << quint16(1) << quint16(4) << quint32(0)
      << quint32((colourStride + maskStride) * size) << quint32(0) << quint32(0) << quint32(0) << quint32(0);
    for (QRgb c : Palette)
        s << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
    const char *const *rows = rowsFor(size);
    for (int y = size - 1; y >= 0; --y)
        writeRaw(s, QByteArray::fromHex(rows[y]).leftJustified(colourStride, '\0'));
    // Every pixel opaque: the mask is all zero.
    writeRaw(s, QByteArray(maskStride * size, '\0'));
    return b;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString &error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

// The image for one of the theme's sizes. The two just above the pixel art keep
// its 16 px image, unscaled so that no pixel blurs, centred on a transparent canvas.
QImage themeIconImage(int size)
{
    if (size >= 48)
        return drawnIconImage(size);
    if (size == 16 || size == 32)
        return iconImage(size);
    // Copying beyond the image's edges leaves those pixels transparent.
    const int margin = (size - 16) / 2;
    return iconImage(16).convertToFormat(QImage::Format_ARGB32).copy(-margin, -margin, size, size);
}

} // namespace

QImage iconImage(int size)
{
    const char *const *rows = rowsFor(size);
    if (!rows)
        return {};
    QImage img(size, size, QImage::Format_Indexed8);
    img.setColorTable(QList<QRgb>(std::begin(Palette), std::end(Palette)));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, hexValue(rows[y][x]));
    return img;
}

QImage drawnIconImage(int size)
{
    const QColor black(Palette[0]), olive(Palette[3]), grey(Palette[7]), silver(Palette[8]), yellow(Palette[11]);
    // The 32 px image's grid, one unit a pixel there; every edge lands on a whole pixel.
    const double unit = size / 32.0;
    const auto px = [unit](double units) { return qRound(units * unit); };
    const int line = qMax(1, px(0.5));   // outlines and ticks
    const int shadow = qMax(1, px(1.0)); // the rulers' shadows, below and right as in the pixel art

    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = QRectF(0, 0, size, size).adjusted(px(1), px(1), -px(1), -px(1));
    const double radius = 3 * unit;
    p.setPen(Qt::NoPen);
    p.setBrush(silver);
    p.drawRoundedRect(plate, radius, radius);

    QPainterPath inside;
    inside.addRoundedRect(plate.adjusted(line, line, -line, -line), radius - line, radius - line);
    p.setClipPath(inside);
    // Tick k of a ruler: one unit long every two, two every four, three every eight.
    const auto tickLength = [&](int k) { return px(k % 4 ? 1 : k % 8 ? 2 : 3); };

    // The vertical ruler, cut by the horizontal one lying over it.
    const int vLeft = px(8), vRight = px(16);
    p.fillRect(vRight, 0, shadow, size, grey);
    p.fillRect(vLeft, 0, vRight - vLeft, size, black);
    p.fillRect(vLeft + line, 0, vRight - vLeft - 2 * line, size, yellow);
    for (int k = 1; px(2 * k) < size; ++k)
        p.fillRect(vRight - line - tickLength(k), px(2 * k), tickLength(k), line, black);

    // The horizontal ruler and its shadow, olive where it falls on the vertical ruler.
    const int hTop = px(8), hBottom = px(17);
    p.fillRect(0, hBottom, size, shadow, grey);
    p.fillRect(vLeft + line, hBottom, vRight - vLeft - 2 * line, shadow, olive);
    p.fillRect(0, hTop, size, hBottom - hTop, black);
    p.fillRect(0, hTop + line, size, hBottom - hTop - 2 * line, yellow);
    for (int k = 1; px(2 * k) < size; ++k)
        p.fillRect(px(2 * k), hTop + line, line, tickLength(k), black);

    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(grey, line));
    p.drawRoundedRect(plate.adjusted(line / 2.0, line / 2.0, -line / 2.0, -line / 2.0), radius, radius);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

QIcon programIcon()
{
    // One icon for the process: Qt caches what it draws of an icon under its pixmaps' keys, so new
    // pixmaps for every information window filled Qt's pixmap cache by about 6 KB a window.
    static QIcon icon = [] {
        // Pixmaps must go before the application object does.
        qAddPostRoutine([] { icon = QIcon(); });
        QIcon both;
        both.addPixmap(QPixmap::fromImage(iconImage(16)));
        both.addPixmap(QPixmap::fromImage(iconImage(32)));
        return both;
    }();
    return icon;
}

QByteArray icoFileBytes()
{
    const QByteArray images[] = {bitmapEntry(32), bitmapEntry(16)};
    QByteArray ico;
    QDataStream s(&ico, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0) << quint16(1) << quint16(2); // reserved, an icon, two images
    quint32 offset = 6 + 2 * 16;                 // after the header and two directory entries
    for (const QByteArray &image : images) {
        const quint8 size = &image == images ? 32 : 16;
        // Width, height, colours, reserved, planes, bits per pixel, bytes and where they start.
        s << size << size << quint8(16) << quint8(0) << quint16(1) << quint16(4) << quint32(image.size()) << offset;
        offset += quint32(image.size());
    }
    for (const QByteArray &image : images)
        writeRaw(s, image);
    return ico;
}

bool writeIconFiles(const QString &dir, QString &error)
{
    if (!writeFile(dir + QStringLiteral("/zentyr.ico"), icoFileBytes(), error))
        return false;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral("%1/icons/hicolor/%2x%2/apps/zentyr.png").arg(dir).arg(size);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        if (!themeIconImage(size).save(&png, "PNG")) {
            error = QStringLiteral("cannot encode %1").arg(path);
            return false;
        }
        if (!writeFile(path, png.data(), error))
            return false;
    }
    return true;
}

} // namespace zentyr::artwork

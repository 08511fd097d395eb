// SPDX-License-Identifier: MIT
#include "artwork/artwork.h"
#include "artwork/icondata.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <iterator>
#include <utility>

namespace zentyr::artwork {

namespace {

const char *const *rowsFor(int size)
{
    if (size == 32)
        return icondata::Rows32;
    if (size == 16)
        return icondata::Rows16;
    return nullptr;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

void putU16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void putU32(QByteArray &b, quint32 v)
{
    putU16(b, quint16(v & 0xFFFF));
    putU16(b, quint16(v >> 16));
}

// One icon image as stored in a .ico: header, palette, 4-bit colour rows and
// the 1-bit AND mask, both bottom-up with rows padded to 4 bytes.
QByteArray bitmapEntry(int size)
{
    const char *const *rows = rowsFor(size);
    const int colourStride = ((size * 4 + 31) / 32) * 4;
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray b;
    putU32(b, 40);       // header size
    putU32(b, size);     // width
    putU32(b, size * 2); // height of colour and mask together
    putU16(b, 1);        // planes
    putU16(b, 4);        // bits per pixel
    putU32(b, 0);        // uncompressed
    putU32(b, quint32((colourStride + maskStride) * size));
    putU32(b, 0);
    putU32(b, 0);
    putU32(b, 0); // colours used: all 16
    putU32(b, 0);
    for (QRgb c : icondata::Palette) {
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append('\0');
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(colourStride, '\0');
        for (int x = 0; x < size; x += 2)
            row[x / 2] = char((hexValue(rows[y][x]) << 4) | hexValue(rows[y][x + 1]));
        b.append(row);
    }
    // Every pixel opaque: the mask is all zero.
    b.append(QByteArray(maskStride * size, '\0'));
    return b;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace

QImage iconImage(int size)
{
    const char *const *rows = rowsFor(size);
    if (!rows)
        return {};
    QImage img(size, size, QImage::Format_Indexed8);
    img.setColorTable(QList<QRgb>(std::begin(icondata::Palette), std::end(icondata::Palette)));
    for (int y = 0; y < size; ++y) {
        uchar *line = img.scanLine(y);
        for (int x = 0; x < size; ++x)
            line[x] = uchar(hexValue(rows[y][x]));
    }
    return img;
}

QImage drawnIconImage(int size)
{
    using icondata::Palette;
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
    static QIcon *icon = nullptr;
    if (!icon) {
        icon = new QIcon;
        icon->addPixmap(QPixmap::fromImage(iconImage(16)));
        icon->addPixmap(QPixmap::fromImage(iconImage(32)));
        // Pixmaps must go before the application object does.
        qAddPostRoutine([] {
            delete icon;
            icon = nullptr;
        });
    }
    return *icon;
}

QByteArray icoFileBytes()
{
    const QByteArray big = bitmapEntry(32);
    const QByteArray small = bitmapEntry(16);
    QByteArray ico;
    putU16(ico, 0);              // reserved
    putU16(ico, 1);              // icon
    putU16(ico, 2);              // image count
    quint32 offset = 6 + 2 * 16; // after the header and two directory entries
    for (const auto &[size, data] : {std::pair<int, const QByteArray &>{32, big}, {16, small}}) {
        ico.append(char(size));
        ico.append(char(size));
        ico.append(char(16)); // colours
        ico.append('\0');
        putU16(ico, 1); // planes
        putU16(ico, 4); // bits per pixel
        putU32(ico, quint32(data.size()));
        putU32(ico, offset);
        offset += quint32(data.size());
    }
    ico.append(big);
    ico.append(small);
    return ico;
}

bool writeIconFiles(const QString &dir, QString *error)
{
    if (!writeFile(dir + QStringLiteral("/zentyr.ico"), icoFileBytes(), error))
        return false;
    for (int size : {16, 32}) {
        const QString path = QStringLiteral("%1/icons/hicolor/%2x%2/apps/zentyr.png").arg(dir).arg(size);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!iconImage(size).save(&buffer, "PNG")) {
                if (error)
                    *error = QStringLiteral("cannot encode %1").arg(path);
                return false;
            }
        }
        if (!writeFile(path, png, error))
            return false;
    }
    return true;
}

} // namespace zentyr::artwork

// SPDX-License-Identifier: MIT
// Writes the program icon as a Windows .ico and as PNGs for the desktop's icon
// theme, all from the one copy of the icon data. Runs at build time, so it
// needs no display.

#include "artwork/artwork.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>

#include <cstdio>

namespace {

// Sizes launchers and software centres ask for, beyond the pixel art's 16 and 32. From 48 up
// the icon is drawn afresh; the two just above the pixel art keep it, unscaled.
constexpr int ScaledSizes[] = {22, 24, 48, 64, 128, 256};
constexpr int FirstDrawnSize = 48;

// Pixel art grows by whole factors only, so no pixel blurs. Of the pixel images
// the one that fills the most of the canvas wins, the larger on a tie; a canvas
// that is no whole multiple keeps a transparent border around the centred image.
QImage scaledIcon(int size)
{
    int source = 0;
    int factor = 0;
    for (int drawn : {32, 16}) {
        const int f = size / drawn;
        if (f * drawn > factor * source) {
            source = drawn;
            factor = f;
        }
    }
    if (!factor)
        return {};
    const QImage from = zentyr::artwork::iconImage(source).convertToFormat(QImage::Format_ARGB32);
    QImage to(size, size, QImage::Format_ARGB32);
    to.fill(Qt::transparent);
    const int offset = (size - source * factor) / 2;
    for (int y = 0; y < source * factor; ++y)
        for (int x = 0; x < source * factor; ++x)
            to.setPixel(offset + x, offset + y, from.pixel(x / factor, y / factor));
    return to;
}

bool writeScaledIcons(const QString &dir, QString *error)
{
    for (int size : ScaledSizes) {
        const QString folder = QStringLiteral("%1/icons/hicolor/%2x%2/apps").arg(dir).arg(size);
        if (!QDir().mkpath(folder)) {
            *error = QStringLiteral("cannot create %1").arg(folder);
            return false;
        }
        QImageWriter writer(folder + QStringLiteral("/zentyr.png"), "png");
        const QImage image = size >= FirstDrawnSize ? zentyr::artwork::drawnIconImage(size) : scaledIcon(size);
        if (!writer.write(image)) {
            *error = QStringLiteral("cannot write %1: %2").arg(writer.fileName(), writer.errorString());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QString error;
    if (!zentyr::artwork::writeIconFiles(dir, &error) || !writeScaledIcons(dir, &error)) {
        std::fprintf(stderr, "zentyr-icongen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

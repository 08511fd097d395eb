// SPDX-License-Identifier: MIT
// Writes the program icon as a Windows .ico and as PNGs for the desktop's icon
// theme, all from the one copy of the icon data. Runs at build time, so it
// needs no display.

#include "artwork/artwork.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIR\n", argv[0]);
        return 2;
    }
    QString error;
    if (!zentyr::artwork::writeIconFiles(QString::fromLocal8Bit(argv[1]), error)) {
        std::fprintf(stderr, "zentyr-icongen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

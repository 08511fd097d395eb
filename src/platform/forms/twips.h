// SPDX-License-Identifier: MIT
#pragma once
// Twips (1440 to the inch) against device-independent pixels.
#include <QRect>

namespace zentyr {

// Nearest integer, halves to the even neighbour: how every float becomes pixels.
int roundHalfEven(double value);

// The screen's own twips per pixel: 1440 / logical DPI (15 on a 96-dpi screen).
double twipsPerPixelX();
double twipsPerPixelY();

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
QSize twipsToPixels(QSizeF twips);
QRect twipsToPixels(const QRectF &twips);

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
#include <QRect>
#include <QSizeF>

namespace zentyr {

// Twips positions are relative to the primary screen's top left (primaryTopLeft, in
// desktop pixels), wherever that screen stands on the desktop.

// The rulers' load placement: outer twips divided by the fixed 12, halves to even,
// in desktop pixels.
QRect loadPlacementPixels(float left, float top, float width, float height, QPoint primaryTopLeft = {});

// (screen - size) / 2 in single precision, unrounded, as Normal Size centres.
float centredTwips(float screenTwips, float sizeTwips);

// The desktop pixel of a twips position, and back, at twipsPerPixel.
int twipsToDesktopPixels(float twips, int primaryOrigin, double twipsPerPixel);
float desktopPixelsToTwips(int pixels, int primaryOrigin, double twipsPerPixel);

// The top left (desktop pixels) that centres a window of sizeTwips on screen
// (desktop pixels): the centring in single-precision twips, rounded from the
// screen's own top left.
QPoint centredPixels(const QRect &screen, QSizeF sizeTwips, double twipsPerPixelX, double twipsPerPixelY);

// A border drag: the start geometry moved by delta on the dragged edges,
// never smaller than minimum (the opposite edges stay put).
QRect resizedGeometry(const QRect &start, Qt::Edges edges, QPoint delta, QSize minimum);

// The edges a press at pos (window pixels) resizes in a sizable frame of border
// pixels: none inside the client area; near a corner (16 pixels along the
// border) both of its edges, so corners are easy to hit.
Qt::Edges resizeEdgesAt(QSize window, int border, QPoint pos);

} // namespace zentyr

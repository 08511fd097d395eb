// SPDX-License-Identifier: MIT
#pragma once
#include <QRect>

namespace zentyr {

// The rulers' load placement: the outer rectangle in twips from the primary screen's
// top left (desktop pixels), divided by the fixed 12, halves to even, in desktop pixels.
QRect loadPlacementPixels(const QRect &outer, QPoint primaryTopLeft, double twipsPerPixelX, double twipsPerPixelY);

// The top left (desktop pixels) that centres a window of size on screen, halves to even.
QPoint centredPixels(const QRect &screen, QSize size);

// A border drag: the start geometry moved by delta on the dragged edges,
// never smaller than minimum (the opposite edges stay put).
QRect resizedGeometry(const QRect &start, Qt::Edges edges, QPoint delta, QSize minimum);

// The edges a press at pos (window pixels) resizes in a sizable frame of border
// pixels: none inside the client area; near a corner (16 pixels along the
// border) both of its edges, so corners are easy to hit.
Qt::Edges resizeEdgesAt(QSize window, int border, QPoint pos);

} // namespace zentyr

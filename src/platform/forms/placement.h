#pragma once
#include <QRect>

namespace zentyr {

// The rulers' load placement: outer twips divided by the fixed 12, halves to even.
QRect loadPlacementPixels(float left, float top, float width, float height);

// (screen - size) / 2 in single precision, unrounded, as Normal Size centres.
float centredTwips(float screenTwips, float sizeTwips);

// A border drag: the start geometry moved by delta on the dragged edges,
// never smaller than minimum (the opposite edges stay put).
QRect resizedGeometry(const QRect &start, Qt::Edges edges, QPoint delta, QSize minimum);

// The edges a press at pos (window pixels) resizes in a sizable frame of border
// pixels: none inside the client area; near a corner (16 pixels along the
// border) both of its edges, so corners are easy to hit.
Qt::Edges resizeEdgesAt(QSize window, int border, QPoint pos);

} // namespace zentyr

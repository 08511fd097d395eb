// SPDX-License-Identifier: MIT
#pragma once
// The pointer readout on the rulers: a one-pixel line across the ruler at the pointer and
// a label with the distance from the scale's zero tick, in the monitor's device pixels and,
// where the monitor's reported size can be true, in millimetres or inches.

#include "artwork/artwork.h"

#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;
class QWidget;

namespace zentyr::readout {

// A ruler's scale as the readout reads it.
struct Scale {
    artwork::Picture picture;
    // In the picture's own units along the scale: tick 0 of the inch scales, the metric scale's
    // first tick (it has none to its left).
    double zeroTickUnits;
    bool vertical; // counts upward from its zero tick at the bottom; the others to the right
    bool metric;   // millimetres, else inches
};

// What a monitor reports of itself; empty where there is no monitor.
struct Monitor {
    QSizeF millimetres;
    QSize devicePixels;
};

struct Reading {
    int devicePixels = 0;
    std::optional<double> millimetres;
};
// A distance of logical pixels at the window's device pixel ratio, from the monitor at the zero
// tick to the one at the pointer. The length is known only where both report sizes that can be
// true and agree: both sides given, 50 to 700 pixels per inch on each axis, square pixels within
// 15 %, and not merely the pixel count at the 96 dpi default or an aspect ratio (16 x 9, 160 x 90,
// ...) in place of a size.
Reading measure(double logicalPixels, double devicePixelRatio, const Monitor &atZero, const Monitor &atPointer,
                bool vertical);

// "212 px", "212 px · 56.1 mm" (metric), "212 px · 2.21 in" (inch scales).
QString text(const Reading &reading, bool metric);

// The pointer's readout on one ruler window. It follows mouse events only: no timer.
class Readout {
public:
    // The pointer at pos in client pixels of `client`, the ruler's client area.
    void moveTo(QWidget *client, const Scale &scale, QPointF pos);
    // The pointer left the ruler.
    void clear(QWidget *client);
    // Paints the line and label; origin is the client's top left in the painter's coordinates.
    void paint(QPainter &p, QPoint origin = {}) const;

private:
    void invalidate(QWidget *client) const;

    bool m_vertical = false;
    QString m_text; // empty while the readout is not shown
    // The window's own description, which the readout stands in for while it shows.
    QString m_description;
    QRect m_line;
    QRect m_label;
};

} // namespace zentyr::readout

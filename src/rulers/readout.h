// SPDX-License-Identifier: MIT
#pragma once
// The pointer readout on the rulers: a one-pixel line across the ruler at the pointer and
// a label with the distance from the scale's zero tick, in the monitor's device pixels and,
// where the monitor's reported size can be true, in millimetres or inches.

#include "artwork/artwork.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;
class QScreen;
class QWidget;

namespace zentyr::readout {

// The vertical scale counts upward from its zero tick at the bottom; the others to the right.
bool isVertical(artwork::Picture scale);
bool isMetric(artwork::Picture scale);

// The zero tick in client pixels along the scale (x, or y for the vertical scale), where the
// window draws the scale: at its natural size for these twips per pixel, from the top left.
double zeroTickPixels(artwork::Picture scale, double twipsPerPixelX, double twipsPerPixelY);
// From the zero tick to pos (client pixels), positive toward the higher numbers.
double distancePixels(artwork::Picture scale, QPointF pos, double twipsPerPixelX, double twipsPerPixelY);

// What a monitor reports of itself.
struct Monitor {
    QSizeF millimetres;
    QSize devicePixels;
};
Monitor monitorOf(const QScreen *screen);

// Millimetres per device pixel along one axis, when the reported size can be true: both sides
// given, 50 to 700 pixels per inch on each axis, square pixels within 15 %, and not merely the
// pixel count at the 96 dpi default or an aspect ratio (16 x 9, 160 x 90, ...) in place of a size.
std::optional<double> millimetresPerPixel(const Monitor &monitor, bool vertical);

struct Reading {
    int devicePixels = 0;
    std::optional<double> millimetres;
};
// A distance of logical pixels at the window's device pixel ratio. Both ends of the distance
// must lie on monitors whose sizes agree; otherwise the length is not known.
Reading measure(double logicalPixels, double devicePixelRatio, const Monitor *atZero, const Monitor *atPointer,
                bool vertical);

// "212 px", "212 px · 56.1 mm" (metric), "212 px · 2.21 in" (inch scales).
QString text(const Reading &reading, bool metric);

// Where the line and the label go in a client of the given size for the pointer at pos.
struct Placement {
    QRect line;
    QRect label;
};
Placement place(bool vertical, QPoint pos, QSize client, QSize label);

// The pointer's readout on one ruler window. It follows mouse events only: no timer.
class Readout {
public:
    // The pointer at pos in client pixels of `client`, the ruler's client area.
    void moveTo(QWidget *client, artwork::Picture scale, QPointF pos);
    // The pointer left the ruler.
    void clear(QWidget *client);
    // Paints the line and label; origin is the client's top left in the painter's coordinates.
    void paint(QPainter &p, QPoint origin = {}) const;
    const QString &currentText() const { return m_text; }

private:
    void invalidate(QWidget *client) const;

    bool m_shown = false;
    bool m_vertical = false;
    QString m_text;
    // The window's own description, which the readout stands in for while it shows.
    QString m_description;
    Placement m_placement;
};

} // namespace zentyr::readout

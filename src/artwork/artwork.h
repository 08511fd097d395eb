// SPDX-License-Identifier: MIT
#pragma once
// The program's fixed pictures: the three ruler scales, the information
// window's ruler strip and steel rule, and the program icon.

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

namespace zentyr::artwork {

enum class Picture { InchScale, MetricScale, VerticalScale, RulerStrip, SteelRule };

// The picture's own coordinate space. For the steel rule this is its frame in
// twips; its drawing space (y upward) is stretched onto it.
QSizeF extentUnits(Picture picture);

// Size at which the windows show the picture, in whole twips: 8610 x 1051 for
// the inch scale, 8640 x 994 metric, 984 x 8323 vertical, 8640 x 953 for the
// strip (which is always shown stretched) and 29959 x 36047 for the steel rule.
QSizeF naturalTwips(Picture picture);

// Natural size in whole pixels for the given twips per pixel (nearest, halves to even).
QSize naturalPixelSize(Picture picture, double twipsPerPixelX, double twipsPerPixelY);

// Draws the picture stretched over targetPx (painter coordinates), clipped to it.
// Runs the vector steps every time; prefer the cached pixmaps for repeated paints.
void paint(Picture picture, QPainter &painter, const QRectF &targetPx);

// The picture rendered at its natural size for the given twips per pixel, with
// the given device pixel ratio (the pixmap carries it, so its logical size is
// naturalPixelSize()). Undrawn areas are transparent. Cached per picture, pixel
// size and ratio: repeated calls return the same pixmap. GUI thread only.
// The steel rule is about 2000 x 2400 pixels at 15 twips per pixel; the
// information window should use paintSteelRuleSlice() instead.
QPixmap naturalPixmap(Picture picture, double twipsPerPixelX, double twipsPerPixelY, qreal devicePixelRatio);

// The picture stretched to sizePx logical pixels, cached like naturalPixmap().
QPixmap stretchedPixmap(Picture picture, const QSize &sizePx, qreal devicePixelRatio);

// The information window's image boxes for its two drawings, in twips from the
// top left of its client area. The strip is stretched over its box; the steel
// rule is drawn at its natural size (29959 x 36047) from its box's top left
// corner, so the box (29955 x 36046) cuts a few twips off its right and bottom.
QRectF rulerStripBoxTwips();
QRectF steelRuleBoxTwips();

// What the information window shows of the steel rule: its box placed relative
// to clientPx's top left, clipped to clientPx. Drawn afresh each time: the window
// seldom repaints, and a cached slice would hold a whole client's worth of pixels
// for the life of the program. Below the drawing's bottom edge, a black line at
// 4100 twips, nothing is painted, so the window's own background shows.
void paintSteelRuleSlice(QPainter &painter, const QRectF &clientPx, double twipsPerPixelX, double twipsPerPixelY);

// The program icon: 16 x 16 or 32 x 32, 16 colours (Format_Indexed8 holding the
// palette index of every pixel), opaque. Any other size gives a null image.
QImage iconImage(int size);
// The icon drawn for the theme's large sizes (48 px and up): the same two crossed rulers
// on a silver plate, antialiased, ticks on whole pixels, the corners transparent.
QImage drawnIconImage(int size);
// Both images in one icon.
QIcon programIcon();
// A Windows .ico file with both images as 4-bit bitmaps with their AND masks.
QByteArray icoFileBytes();
// Writes dir/zentyr.ico and dir/icons/hicolor/NxN/apps/zentyr.png for the sizes launchers
// and software centres ask for: the pixel art at 16 and 32, the 16 px image centred on the
// 22 and 24 px canvases, the drawn icon from 48 to 256. On failure error says why.
bool writeIconFiles(const QString &dir, QString &error);

} // namespace zentyr::artwork

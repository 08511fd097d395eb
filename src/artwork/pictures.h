// SPDX-License-Identifier: MIT
#pragma once
// The pictures as data, built once on first use.

#include "artwork/artwork.h"
#include "artwork/vectorpicture.h"

#include <QColor>
#include <QTransform>

namespace zentyr::artwork {

// Needs a QGuiApplication: the product word is set in a font.
const VectorPicture &picture(Picture which);

VectorPicture buildInchScale();
VectorPicture buildMetricScale();
VectorPicture buildVerticalScale();
VectorPicture buildRulerStrip();
VectorPicture buildSteelRule();

// Shared by the builders.
void addNumber(VectorPicture &pic, int number, const QRectF &box, const QColor &color,
               const QTransform &turn = QTransform(), double widthScale = 1.0);
void addNumberOutline(VectorPicture &pic, int number, const QRectF &box, const QColor &color, double penWidth,
                      const QTransform &turn = QTransform(), double widthScale = 1.0);
// "Zentyr" in bold Arial with the given em height, its text cell's top edge on
// y = 0 and centred on x = 0 when centred is set, else starting at x = 0.
QPainterPath productWordPath(double emHeight, bool centred);

} // namespace zentyr::artwork

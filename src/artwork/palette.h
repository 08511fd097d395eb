// SPDX-License-Identifier: MIT
#pragma once
// The ruler palette, shared by the scale pictures and the ruler and information windows.

#include <QColor>

namespace zentyr::artwork::palette {

inline const QColor ShadowStrip(0xA0, 0xA0, 0xA0);
inline const QColor ShadowRim(0x60, 0x60, 0x60);
inline const QColor RulerBody(0xFF, 0xA0, 0x40);
inline const QColor LowerBand(0xC0, 0x60, 0x00);
// Ticks and numerals.
inline const QColor Ink(0x00, 0x00, 0x00);
// The product word "Zentyr" on the scales and on the metric and angle rulers.
inline const QColor ProductWord(0xFF, 0xFF, 0x00);
// The metric, vertical and angle ruler windows.
inline const QColor RulerWindow(0xFF, 0x80, 0x00);
// Behind the help texts and the standard ruler's tip.
inline const QColor HelpBack(0xFF, 0xC0, 0x80);

} // namespace zentyr::artwork::palette

// SPDX-License-Identifier: MIT
#pragma once
// The program icon's two images as palette indices.

#include <QRgb>

namespace zentyr::artwork::icondata {

extern const QRgb Palette[16];
extern const char *const Rows32[32];
extern const char *const Rows16[16];

} // namespace zentyr::artwork::icondata

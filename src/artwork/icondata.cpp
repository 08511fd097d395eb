// SPDX-License-Identifier: MIT
#include "artwork/icondata.h"

namespace zentyr::artwork::icondata {

// The standard 16-colour palette.
const QRgb Palette[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFF808080,
    0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// One hexadecimal palette index per pixel, rows from the top. A yellow
// horizontal ruler crossing a yellow vertical one on a silver ground.
const char *const Rows32[32] = {
    "88888888000000007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbbb0007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888",
    "00000000000000000000000000000000",
    "0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b",
    "0bbb0bbb0bbb0bbb0bbb0bbb0bbb0bbb",
    "0bbbbbbbbbbbbbbb0bbbbbbb0bbbbbbb",
    "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
    "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
    "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
    "0bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
    "00000000000000000000000000000000",
    "77777777033333307777777777777777",
    "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbb00007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbbb0007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbb00007888888888888888",
    "888888880bbbbbb07888888888888888",
    "888888880bbbbb007888888888888888",
    "888888880bbbbbb07888888888888888",
};

const char *const Rows16[16] = {
    "8880000078888888",
    "8880bbb078888888",
    "8880b00078888888",
    "8880bbb078888888",
    "0000000000000000",
    "0b0b0b0b0b0b0b0b",
    "0b0bbb0bbb0bbb0b",
    "0bbbbbbbbbbbbbbb",
    "0000000000000000",
    "7770bbb077777777",
    "8880b00078888888",
    "8880bbb078888888",
    "8880bb0078888888",
    "8880bbb078888888",
    "8880b00078888888",
    "8880bbb078888888",
};

} // namespace zentyr::artwork::icondata

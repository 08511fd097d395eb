// SPDX-License-Identifier: MIT
#pragma once
// What the rulers ask of the program around them. The rulers sit below the start-up code and the
// information window, so they reach both through these functions, which the program installs.

namespace zentyr {

struct RulerHost {
    // True when another copy runs: the host has then told the user and ends the program.
    bool (*previousInstanceGuard)() = nullptr;
    // Opens the information window in its information role.
    void (*showInfoScreen)() = nullptr;
};

// The installed host; the program installs it before the first ruler loads.
inline RulerHost rulerHost;

} // namespace zentyr

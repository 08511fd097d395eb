// SPDX-License-Identifier: MIT
#pragma once
// What the rulers ask of the program around them. The rulers sit below the start-up code and the
// information window, so they reach both through this interface, which the program installs.

namespace zentyr {

class RulerHost {
public:
    virtual ~RulerHost() = default;
    // True when another copy runs: the host has then told the user and ends the program.
    virtual bool previousInstanceGuard() = 0;
    // Opens the information window in its information role.
    virtual void showInfoScreen() = 0;
};

// The installed host; the program installs one before the first ruler loads.
RulerHost &rulerHost();
void setRulerHost(RulerHost *host);

} // namespace zentyr

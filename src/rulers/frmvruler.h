// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/rulerform.h"

namespace zentyr {

// The vertical ruler: the upright inch scale, topmost and draggable.
class frmVRuler : public DesignedRuler<RulerId::Vertical> {
public:
    // Hide by the handler's own name, which the tray's tests call.
    void mnuHideVRuler_Click() { unload(); }
};

} // namespace zentyr

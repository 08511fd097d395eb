// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/rulerform.h"

namespace zentyr {

// The vertical ruler: the upright inch scale, topmost and draggable.
using frmVRuler = DesignedRuler<RulerId::Vertical>;

} // namespace zentyr

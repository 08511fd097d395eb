// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/rulerform.h"

namespace zentyr {

// The metric ruler: the metric scale with the product name, topmost and draggable.
using frmRulerMetric = DesignedRuler<RulerId::Metric>;

} // namespace zentyr

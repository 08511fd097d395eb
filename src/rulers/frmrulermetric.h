// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/rulerform.h"

namespace zentyr {

class Label;

// The metric ruler: the metric scale with the product name, topmost and draggable.
class frmRulerMetric : public RulerForm {
    Q_OBJECT
public:
    frmRulerMetric();

    Label *Label1 = nullptr;
    QAction *mnuHideMetricRuler = nullptr, *mnuRegularRuler = nullptr, *mnuNormalSize = nullptr, *mnuHelp = nullptr;

    void mnuHideMetricRuler_Click();
    void mnuRegularRuler_Click();
    void mnuNormalSize_Click();
    void mnuHelp_Click();

protected:
    void Form_Load() override;
};

} // namespace zentyr

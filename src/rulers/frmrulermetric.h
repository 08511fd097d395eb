#pragma once
#include "rulers/rulerform.h"

namespace zentyr {

class Label;

class frmRulerMetric : public RulerForm {
    Q_OBJECT
public:
    frmRulerMetric();

    Label *Label1;
    QAction *mnuHideMetricRuler, *mnuRegularRuler, *mnuNormalSize, *mnuHelp;

    void mnuHideMetricRuler_Click();
    void mnuRegularRuler_Click();
    void mnuNormalSize_Click();
    void mnuHelp_Click();


protected:
    void Form_Load() override;
};

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/rulerform.h"

namespace zentyr {

// The vertical ruler: the upright inch scale, topmost and draggable.
class frmVRuler : public RulerForm {
    Q_OBJECT
public:
    frmVRuler();

    QAction *mnuHideVRuler = nullptr, *mnuRegularRuler = nullptr, *mnuNormalSize = nullptr, *mnuHelp = nullptr;

    void mnuHideVRuler_Click();
    void mnuRegularRuler_Click();
    void mnuNormalSize_Click();
    void mnuHelp_Click();

protected:
    void Form_Load() override;
};

} // namespace zentyr

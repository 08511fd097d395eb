// SPDX-License-Identifier: MIT
#pragma once
#include "platform/forms/controls.h"
#include "platform/forms/form.h"

#include <QPushButton>
#include <QTimer>

namespace zentyr {

// The information window: splash at start-up, help and about screen later.
class frmSplash : public Form {
    Q_OBJECT
public:
    frmSplash();

    // The banner: company, product name, platform, the years and the version; only the version is
    // set at load. Below it the help texts, seen only in the information role (the taller window).
    Label *lblVersion = nullptr;
    ImageControl *Image1 = nullptr; // the steel-rule drawing behind the banner, at natural size
    QPushButton *cmdOK = nullptr;   // unloads the window; shown only in the information role
    QTimer Timer1;                  // the hand-over timer

    void cmdOK_Click();
    void cmdOptions_Click();
    void Timer1_Timer();

protected:
    void Form_Load() override;
    void Form_Unload() override;
    // As the splash the window closes only by itself; in the information role as OK does.
    bool acceptsWindowSystemClose() const override { return !cmdOK->isHidden(); }
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
};

} // namespace zentyr

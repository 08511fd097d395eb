// SPDX-License-Identifier: MIT
#pragma once
#include "platform/forms/controls.h"
#include "platform/forms/form.h"

#include <QTimer>

namespace zentyr {

// The information window: splash at start-up, help and about screen later.
class frmSplash : public Form {
    Q_OBJECT
public:
    frmSplash();

    // The banner: company, product name, years, platform and version.
    Label *lblCompanyProduct, *lblProductName, *lblPlatform, *lblVersion;
    Label *Label6; // the years "(1999-2002)"
    // The help texts, seen only in the information role (the taller window).
    Label *Label2; // what Zentyr is
    Label *Label4; // what it is for
    Label *Label8; // where it runs and how to reach its menus
    Label *Label9; // a picture of the user's own on the standard ruler
    Label *Label5; // the support e-mail address
    Label *Label7; // what the e-mail is for
    ImageControl *Image1; // the steel-rule drawing behind the banner, at natural size
    ImageControl *Image3; // the ruler strip under the company name, stretched
    CommandButton *cmdOK;      // unloads the window; shown only in the information role
    CommandButton *cmdOptions; // explains how to start without the ruler
    QTimer Timer1; // the hand-over timer

    void cmdOK_Click();
    void cmdOptions_Click();
    void Timer1_Timer();

    // The Options box text, exactly.
    static QString optionsText();
    static QString versionCaption(int major, int minor, int revision);

protected:
    void Form_Load() override;
    void Form_Unload() override;
    // As the splash the window closes only by itself; in the information role as OK does.
    bool acceptsWindowSystemClose() const override { return !cmdOK->isHidden(); }
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
};

} // namespace zentyr

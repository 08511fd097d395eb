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

    // The banner: company, product name, platform and version (the years, Label6, are only drawn).
    Label *lblCompanyProduct = nullptr, *lblProductName = nullptr, *lblPlatform = nullptr, *lblVersion = nullptr;
    // The help texts, seen only in the information role (the taller window).
    Label *Label2 = nullptr;           // what Zentyr is
    Label *Label4 = nullptr;           // what it is for
    Label *Label8 = nullptr;           // where it runs and how to reach its menus
    Label *Label9 = nullptr;           // a picture of the user's own on the standard ruler
    Label *Label5 = nullptr;           // the support e-mail address
    Label *Label7 = nullptr;           // what the e-mail is for
    ImageControl *Image1 = nullptr;    // the steel-rule drawing behind the banner, at natural size
    ImageControl *Image3 = nullptr;    // the ruler strip under the company name, stretched
    QPushButton *cmdOK = nullptr;      // unloads the window; shown only in the information role
    QPushButton *cmdOptions = nullptr; // explains how to start without the ruler
    QTimer Timer1;                     // the hand-over timer

    void cmdOK_Click();
    void cmdOptions_Click();
    void Timer1_Timer();

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

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

    Label *lblCompanyProduct, *lblProductName, *Label6, *lblPlatform, *lblVersion;
    Label *Label2, *Label4, *Label8, *Label9, *Label5, *Label7;
    ImageControl *Image1, *Image3;
    CommandButton *cmdOK, *cmdOptions;
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
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
};

} // namespace zentyr

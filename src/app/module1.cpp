// SPDX-License-Identifier: MIT
#include "app/module1.h"
#include "platform/forms/formregistry.h"
#include "app/frmsplash.h"
#include "platform/forms/twips.h"

namespace zentyr {

void ShowInfoScreen()
{
    frmSplash &f = loadForm<frmSplash>();
    f.setWindowKind(WindowKind::Dialog);
    f.setOuterSize({f.width(), twipsToPixelsY(7500)});
    f.showModeless();
    f.cmdOK->setVisible(true);
    f.Timer1.stop();
}

} // namespace zentyr

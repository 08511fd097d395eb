#include "app/module1.h"
#include "app/forms.h"
#include "app/frmsplash.h"
#include "platform/system/services.h"

#include <QApplication>
#include <cstdio>

namespace zentyr {

void ShowInfoScreen()
{
    frmSplash &f = loadForm<frmSplash>();
    f.setHeightTwips(7500);
    f.showModeless();
    f.cmdOK->setVisible(true);
    f.Timer1.stop();
}

static bool g_endWithLastWindow = false;

static void lastWindowCheck(Form *)
{
    if (!g_endWithLastWindow)
        return;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *f = qobject_cast<Form *>(w);
        if (f && f->isVisible() && !f->isUnloading())
            return;
    }
    std::fprintf(stderr, "zentyr: the last window was closed and there is no notification area; ending.\n");
    services().endProgram();
}

void setLastWindowHook(bool on)
{
    g_endWithLastWindow = on;
    Form::setUnloadHook(on ? &lastWindowCheck : nullptr);
}

} // namespace zentyr

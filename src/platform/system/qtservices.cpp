// SPDX-License-Identifier: MIT
#include "platform/system/drag.h"
#include "platform/system/filedialog.h"
#include "platform/system/instance.h"
#include "platform/system/msgbox.h"
#include "platform/system/services.h"
#include "platform/system/tray.h"
#include "platform/system/windowsystem.h"

#include <QMessageBox>
#include <QPointer>

namespace zentyr {

namespace {

class QtServices : public Services {
public:
    void msgBox(const QString &text, MessageStyle style, const QString &title, QWidget *owner) override
    {
        // Not owned here: the owner's end takes its box with it.
        QPointer<QMessageBox> box = newMessageBox(text, style, title).release();
        if (owner) {
            box->setParent(owner, box->windowFlags());
            box->setWindowModality(Qt::WindowModal);
        }
        box->exec();
        delete box.data();
    }

    OpenResult showOpen(QWidget *owner, const OpenRequest &request) override { return showOpenDialog(owner, request); }

    bool previousInstance() override { return previousInstanceRunning(); }

    void endProgram() override { endProcessNow(0); }

    void addTrayIcon(const QIcon &icon, const QString &tip, TrayClient *client) override
    {
        m_tray.add(icon, tip, client);
    }
    void removeTrayIcon() override { m_tray.remove(); }

    bool notificationAreaAvailable() override { return m_tray.available(); }

    bool startSystemMove(QWidget *window) override { return startWindowSystemMove(window); }

private:
    Tray m_tray;
};

Services *g_installed = nullptr;

} // namespace

Services &services()
{
    if (g_installed)
        return *g_installed;
    static QtServices *real = new QtServices; // lives until the process ends
    return *real;
}

void setServices(Services *s) { g_installed = s; }

} // namespace zentyr

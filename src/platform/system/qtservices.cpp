// SPDX-License-Identifier: MIT
#include "platform/system/desktopsession.h"
#include "platform/system/drag.h"
#include "platform/system/filedialog.h"
#include "platform/system/instance.h"
#include "platform/system/msgbox.h"
#include "platform/system/services.h"
#include "platform/system/tray.h"
#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace zentyr {

namespace {

class QtServices : public QObject, public Services {
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

    bool previousInstance() override
    {
        static const bool answer = anotherCopyHoldsTheLock();
        return answer;
    }

    void endProgram() override { endProcessNow(0); }

    // Without a notification area the icon waits for one: notificationAreaAvailable() shows it once
    // one exists. Nothing happens while there is an icon already.
    void addTrayIcon(const QIcon &icon, const QString &tip, TrayClient *client) override
    {
        if (m_client)
            return;
        m_client = client;
        m_iconImage = icon;
        m_tip = tip;
        notificationAreaAvailable();
    }

    void removeTrayIcon() override
    {
        m_client = nullptr;
        if (!m_icon)
            return;
        qApp->removeEventFilter(this);
        delete m_icon;
        m_icon = nullptr;
    }

    bool notificationAreaAvailable() override
    {
        // Once the icon is up, Qt keeps it in whichever notification area comes and goes.
        if (m_icon)
            return true;
        const bool exists = notificationAreaExists();
        if (exists && m_client)
            showTrayIcon();
        return exists;
    }

    bool startSystemMove(QWidget *window) override { return startWindowSystemMove(window); }

protected:
    // Where the tray host embeds the icon's own window (XEmbed), its mouse input arrives here as
    // presses and releases; it is taken whole, so Qt's own reading of it never reaches trayActivated().
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
            && type != QEvent::MouseButtonDblClick)
            return false;
        // The icon's window is known by its place: Qt reports the icon's rectangle as that of the window
        // it made for the icon, so the plain top-level window with exactly that rectangle is the one, even
        // after Qt makes a new one for a tray that restarted. Pop-ups and tips are never it, and a window
        // of ours would have to match the icon to the pixel. A status-notifier host has no such window
        // (the rectangle is empty) and Windows sends no raw input: there trayActivated() reports instead.
        const auto *window = qobject_cast<const QWidget *>(watched);
        if (!m_icon || !window || !window->isWindow() || window->windowType() != Qt::Window)
            return false;
        const QRect icon = m_icon->geometry();
        if (icon.isEmpty() || QRect(window->mapToGlobal(QPoint(0, 0)), window->size()) != icon)
            return false;
        m_rawInput = true;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        deliver(rawTrayRequest(type, mouse->button()), mouse->globalPosition().toPoint());
        return true;
    }

private:
    void showTrayIcon()
    {
        m_icon = new QSystemTrayIcon(trayIcon(m_iconImage), this);
        m_icon->setToolTip(m_tip);
        // Exported over D-Bus to a status-notifier host. Where the host embeds the icon's window, the
        // raw input never reaches Qt's own handling, so Qt pops nothing up itself.
        m_icon->setContextMenu(m_client->trayMenu());
        connect(m_icon, &QSystemTrayIcon::activated, this, &QtServices::trayActivated);
        watchTrayMenuRequests();
        qApp->installEventFilter(this);
        m_icon->show();
    }

    // A status-notifier host has no icon window: it reports what the user did instead.
    void trayActivated(QSystemTrayIcon::ActivationReason reason)
    {
        if (!m_rawInput)
            // A status-notifier host may say where its menu should open; else at the pointer.
            deliver(activationTrayRequest(reason, trayReportsDoubleClicks()),
                    takeTrayMenuPoint().value_or(QCursor::pos()));
    }

    // Only while there is an icon, which has a client.
    void deliver(TrayRequest request, QPoint at)
    {
        if (request == TrayRequest::Ruler)
            m_client->trayOpenRuler();
        else if (request == TrayRequest::Menu)
            m_client->trayOpenMenu(at);
    }

    QIcon m_iconImage;
    QString m_tip;
    TrayClient *m_client = nullptr;
    QSystemTrayIcon *m_icon = nullptr;
    bool m_rawInput = false;
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

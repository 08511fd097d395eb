#include "platform/system/services.h"
#include "platform/system/filedialog.h"
#include "platform/forms/form.h"
#include "platform/system/instance.h"
#include "platform/forms/msgbox.h"
#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWindow>

namespace zentyr {

namespace {

// The tray icon: mouse input on the embedded icon window reaches the owner form
// as mouse moves whose x is the mouse message number, as the shell delivers it.
class Tray : public QObject {
public:
    bool add(const NotifyIconData &d)
    {
        if (m_icon || !QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        m_target = qobject_cast<Form *>(QWidget::find(d.hWnd));
        const QIcon icon = iconFromHandle(d.hIcon);
        // The notification area shows the small image.
        const QPixmap small = icon.pixmap(QSize(16, 16));
        m_icon = new QSystemTrayIcon(small.isNull() ? icon : QIcon(small), this);
        m_icon->setToolTip(d.tipText());
        connect(m_icon, &QSystemTrayIcon::activated, this, &Tray::activated);
        qApp->installEventFilter(this);
        m_icon->show();
        return true;
    }

    bool remove()
    {
        if (!m_icon)
            return false;
        qApp->removeEventFilter(this);
        m_icon->hide();
        delete m_icon;
        m_icon = nullptr;
        return true;
    }

protected:
    bool eventFilter(QObject *obj, QEvent *e) override
    {
        const QEvent::Type t = e->type();
        if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonDblClick
            && t != QEvent::MouseMove)
            return false;
        if (!obj->isWidgetType() || qstrcmp(obj->metaObject()->className(), "QSystemTrayIconSys") != 0)
            return false;
        m_rawInput = true;
        auto *me = static_cast<QMouseEvent *>(e);
        int base = 0;
        switch (me->button()) {
        case Qt::LeftButton: base = 513; break;
        case Qt::RightButton: base = 516; break;
        case Qt::MiddleButton: base = 519; break;
        default: break;
        }
        int message = 512;
        if (t == QEvent::MouseButtonPress && base)
            message = base;
        else if (t == QEvent::MouseButtonRelease && base)
            message = base + 1;
        else if (t == QEvent::MouseButtonDblClick && base)
            message = base + 2;
        else if (t != QEvent::MouseMove)
            return true;
        deliver(message);
        return true;
    }

private:
    // Where the icon lives behind a status-notifier host there is no icon window:
    // take the host's notifications instead.
    void activated(QSystemTrayIcon::ActivationReason reason)
    {
        if (m_rawInput)
            return;
        switch (reason) {
        case QSystemTrayIcon::DoubleClick: deliver(515); break;
        case QSystemTrayIcon::Context: deliver(517); break;
        case QSystemTrayIcon::Trigger: deliver(514); break;
        default: break;
        }
    }

    void deliver(int message)
    {
        if (m_target)
            m_target->dispatchMouseMove(Qt::NoButton, Qt::NoModifier, QPointF(message, 0));
    }

    QSystemTrayIcon *m_icon = nullptr;
    QPointer<Form> m_target;
    bool m_rawInput = false;
};

class QtServices : public Services {
public:
    void msgBox(const QString &text, int style, const QString &title) override
    {
        QMessageBox box;
        box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
        box.setText(messageBoxDisplayText(text));
        box.setTextFormat(Qt::PlainText);
        box.setIcon((style & 0x70) == vbCritical ? QMessageBox::Critical : QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        // A box over nothing of ours must still come to the front.
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.exec();
    }

    OpenResult showOpen(QWidget *owner, const OpenRequest &request) override
    {
        return showOpenDialog(owner, request);
    }

    bool previousInstance() override { return previousInstanceRunning(); }

    void endProgram() override { endProcessNow(0); }

    bool shellNotifyIcon(int message, const NotifyIconData &data) override
    {
        if (message == NIM_ADD)
            return m_tray.add(data);
        if (message == NIM_DELETE)
            return m_tray.remove();
        return false;
    }

    bool notificationAreaAvailable() override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    bool startSystemMove(QWidget *window) override
    {
        QWindow *w = window->windowHandle();
        if (!w || !w->startSystemMove())
            return false;
        releaseAfterWindowSystemDrag(window);
        return true;
    }

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

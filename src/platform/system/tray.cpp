#include "platform/system/tray.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace zentyr {

int trayMessageNumber(TrayEvent event, Qt::MouseButton button)
{
    if (event == TrayEvent::Move)
        return 512;
    int press = 0;
    switch (button) {
    case Qt::LeftButton: press = 513; break;
    case Qt::RightButton: press = 516; break;
    case Qt::MiddleButton: press = 519; break;
    default: return 0;
    }
    switch (event) {
    case TrayEvent::Press: return press;
    case TrayEvent::Release: return press + 1;
    case TrayEvent::DoubleClick: return press + 2;
    default: return 0;
    }
}

bool Tray::add(const NotifyIconData &record)
{
    if (m_icon || !QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_receiver = QWidget::find(record.hWnd);
    const QWidget *iconWindow = QWidget::find(record.hIcon);
    const QIcon icon = iconWindow ? iconWindow->windowIcon() : QIcon();
    // The notification area shows the small image.
    const QPixmap small = icon.pixmap(QSize(16, 16));
    m_icon = new QSystemTrayIcon(small.isNull() ? icon : QIcon(small), this);
    m_icon->setToolTip(record.tipText());
    connect(m_icon, &QSystemTrayIcon::activated, this, &Tray::activated);
    qApp->installEventFilter(this);
    m_icon->show();
    return true;
}

bool Tray::remove()
{
    if (!m_icon)
        return false;
    qApp->removeEventFilter(this);
    m_icon->hide();
    delete m_icon;
    m_icon = nullptr;
    return true;
}

// Where the tray host embeds the icon's own window, its mouse input arrives here as presses and
// releases; it is taken whole, so Qt's own reading of it never reaches activated().
bool Tray::eventFilter(QObject *watched, QEvent *event)
{
    TrayEvent kind;
    switch (event->type()) {
    case QEvent::MouseMove: kind = TrayEvent::Move; break;
    case QEvent::MouseButtonPress: kind = TrayEvent::Press; break;
    case QEvent::MouseButtonRelease: kind = TrayEvent::Release; break;
    case QEvent::MouseButtonDblClick: kind = TrayEvent::DoubleClick; break;
    default: return false;
    }
    if (!watched->isWidgetType() || qstrcmp(watched->metaObject()->className(), "QSystemTrayIconSys") != 0)
        return false;
    m_rawInput = true;
    deliver(trayMessageNumber(kind, static_cast<QMouseEvent *>(event)->button()));
    return true;
}

// A status-notifier host has no icon window: it reports what the user did instead.
void Tray::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (m_rawInput)
        return;
    switch (reason) {
    case QSystemTrayIcon::DoubleClick: deliver(trayMessageNumber(TrayEvent::DoubleClick, Qt::LeftButton)); break;
    case QSystemTrayIcon::Context: deliver(trayMessageNumber(TrayEvent::Release, Qt::RightButton)); break;
    case QSystemTrayIcon::Trigger: deliver(trayMessageNumber(TrayEvent::Release, Qt::LeftButton)); break;
    default: break;
    }
}

void Tray::deliver(int number)
{
    if (number == 0)
        return;
    if (auto *receiver = dynamic_cast<TrayMessageReceiver *>(m_receiver.data()))
        receiver->trayMessage(number);
}

} // namespace zentyr

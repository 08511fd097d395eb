// SPDX-License-Identifier: MIT
#include "platform/system/tray.h"
#include "platform/system/desktopsession.h"

#include <QApplication>
#include <QIconEngine>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

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

int trayActivationNumber(QSystemTrayIcon::ActivationReason reason, bool doubleClicksReported)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (doubleClicksReported)
            return trayMessageNumber(TrayEvent::Release, Qt::LeftButton);
        return trayMessageNumber(TrayEvent::DoubleClick, Qt::LeftButton);
    case QSystemTrayIcon::DoubleClick: return trayMessageNumber(TrayEvent::DoubleClick, Qt::LeftButton);
    case QSystemTrayIcon::Context: return trayMessageNumber(TrayEvent::Release, Qt::RightButton);
    case QSystemTrayIcon::MiddleClick: return trayMessageNumber(TrayEvent::Release, Qt::MiddleButton);
    default: return 0;
    }
}

int trayImageSize(const QList<int> &sizes, int slotPx)
{
    if (sizes.isEmpty())
        return 0;
    int fits = 0;
    for (int s : sizes)
        if (s <= slotPx)
            fits = std::max(fits, s);
    return fits ? fits : *std::min_element(sizes.begin(), sizes.end());
}

int trayGracePeriodMs(const QByteArray &setting)
{
    bool ok = false;
    const int ms = setting.trimmed().toInt(&ok);
    return ok && ms >= 0 ? ms : kTrayGracePeriodMs;
}

namespace {

// The icon's images drawn unscaled where one fits, centred in the host's slot: a 22-px slot shows
// the 16-px image, a 48-px or doubled slot the 32-px one. Only a slot smaller than every image
// scales one down.
class TrayIconEngine : public QIconEngine {
public:
    explicit TrayIconEngine(QList<QPixmap> images) : m_images(std::move(images)) { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap &image = pick(int(std::lround(std::min(rect.width(), rect.height()) * dpr)));
        if (image.isNull())
            return;
        QSizeF px = image.size();
        px.scale(px.boundedTo(rect.size() * dpr), Qt::KeepAspectRatio);
        const QPointF at(rect.x() + std::floor((rect.width() * dpr - px.width()) / 2) / dpr,
                         rect.y() + std::floor((rect.height() * dpr - px.height()) / 2) / dpr);
        painter->drawPixmap(QRectF(at, px / dpr), image, QRectF(image.rect()));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const QPixmap &image = pick(std::min(size.width(), size.height()));
        if (image.width() <= size.width() && image.height() <= size.height())
            return image;
        return image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    // The whole slot: paint() places the image in it.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const QPixmap &p : m_images)
            sizes << p.size();
        return sizes;
    }

    QIconEngine *clone() const override { return new TrayIconEngine(m_images); }
    QString key() const override { return QStringLiteral("zentyr-tray"); }

private:
    const QPixmap &pick(int slotPx) const
    {
        static const QPixmap none;
        QList<int> sizes;
        for (const QPixmap &p : m_images)
            sizes << p.width();
        const int want = trayImageSize(sizes, slotPx);
        for (const QPixmap &p : m_images)
            if (p.width() == want)
                return p;
        return none;
    }

    QList<QPixmap> m_images;
};

// Every image of the window's icon, in its own pixels.
QIcon trayIcon(const QIcon &windowIcon)
{
    QList<QPixmap> images;
    for (const QSize &s : windowIcon.availableSizes()) {
        QPixmap p = windowIcon.pixmap(s, 1.0);
        p.setDevicePixelRatio(1.0);
        if (!p.isNull())
            images << p;
    }
    return images.isEmpty() ? windowIcon : QIcon(new TrayIconEngine(images));
}

} // namespace

bool Tray::add(const NotifyIconData &record)
{
    if (m_added)
        return false;
    m_added = true;
    m_record = record;
    return available();
}

bool Tray::available()
{
    // Once the icon is up, Qt keeps it in whichever notification area comes and goes.
    if (m_icon)
        return true;
    const bool exists = notificationAreaExists();
    if (exists && m_added)
        show();
    return exists;
}

void Tray::show()
{
    m_icon = new QSystemTrayIcon(trayIcon(m_record.icon), this);
    m_icon->setToolTip(m_record.tipText());
    // Exported over D-Bus to a status-notifier host. Where the host embeds the icon's window, the
    // raw input never reaches Qt's own handling, so Qt pops nothing up itself.
    if (m_record.receiver)
        m_icon->setContextMenu(m_record.receiver->trayMenu());
    connect(m_icon, &QSystemTrayIcon::activated, this, &Tray::activated);
    watchTrayMenuRequests();
    qApp->installEventFilter(this);
    m_icon->show();
}

bool Tray::remove()
{
    if (!m_added)
        return false;
    m_added = false;
    m_record = NotifyIconData();
    if (!m_icon)
        return true;
    qApp->removeEventFilter(this);
    m_icon->hide();
    delete m_icon;
    m_icon = nullptr;
    return true;
}

// Where the tray host embeds the icon's own window (XEmbed), its mouse input arrives here as presses
// and releases; it is taken whole, so Qt's own reading of it never reaches activated().
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
    if (!isIconWindow(watched))
        return false;
    m_rawInput = true;
    deliver(trayMessageNumber(kind, static_cast<QMouseEvent *>(event)->button()));
    return true;
}

// The icon's window is known by its place: Qt reports the icon's rectangle as that of the window
// it made for the icon, so the plain top-level window with exactly that rectangle is the one, even
// after Qt makes a new one for a tray that restarted. Pop-ups and tips are never it, and a window
// of ours would have to match the icon to the pixel. A status-notifier host has no such window
// (the rectangle is empty) and Windows sends no raw input: there activated() reports instead.
bool Tray::isIconWindow(const QObject *watched) const
{
    if (!m_icon || !watched->isWidgetType())
        return false;
    const auto *window = static_cast<const QWidget *>(watched);
    if (!window->isWindow() || window->windowType() != Qt::Window)
        return false;
    const QRect icon = m_icon->geometry();
    return !icon.isEmpty() && QRect(window->mapToGlobal(QPoint(0, 0)), window->size()) == icon;
}

// A status-notifier host has no icon window: it reports what the user did instead.
void Tray::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_rawInput)
        deliver(trayActivationNumber(reason, trayReportsDoubleClicks()));
}

void Tray::deliver(int number)
{
    if (number == 0)
        return;
    if (m_record.receiver)
        m_record.receiver->trayMessage(number);
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "platform/system/tray.h"
#include "platform/system/desktopsession.h"

#include <QApplication>
#include <QCursor>
#include <QIconEngine>
#include <QMap>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace zentyr {

// The shell's callback message was 512, and of the mouse messages it carried only two were acted
// on: 515, the left double-click, shows the ruler; 517, the right button's release (not its press),
// opens the menu.
TrayRequest rawTrayRequest(QEvent::Type type, Qt::MouseButton button)
{
    if (type == QEvent::MouseButtonDblClick && button == Qt::LeftButton)
        return TrayRequest::Ruler;
    if (type == QEvent::MouseButtonRelease && button == Qt::RightButton)
        return TrayRequest::Menu;
    return TrayRequest::Nothing;
}

TrayRequest activationTrayRequest(QSystemTrayIcon::ActivationReason reason, bool doubleClicksReported)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: return doubleClicksReported ? TrayRequest::Nothing : TrayRequest::Ruler;
    case QSystemTrayIcon::DoubleClick: return TrayRequest::Ruler;
    case QSystemTrayIcon::Context: return TrayRequest::Menu;
    default: return TrayRequest::Nothing;
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
// scales one down. The icon's actual size is the whole slot, as an engine's is unless it says otherwise.
class TrayIconEngine : public QIconEngine {
public:
    // images: at least one, by its width.
    explicit TrayIconEngine(QMap<int, QPixmap> images) : m_images(std::move(images)) { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap image = pick(int(std::lround(std::min(rect.width(), rect.height()) * dpr)));
        QSizeF px = image.size();
        px.scale(px.boundedTo(rect.size() * dpr), Qt::KeepAspectRatio);
        const QPointF at(rect.x() + std::floor((rect.width() * dpr - px.width()) / 2) / dpr,
                         rect.y() + std::floor((rect.height() * dpr - px.height()) / 2) / dpr);
        painter->drawPixmap(QRectF(at, px / dpr), image, QRectF(image.rect()));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const QPixmap image = pick(std::min(size.width(), size.height()));
        if (image.width() <= size.width() && image.height() <= size.height())
            return image;
        return image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

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
    QPixmap pick(int slotPx) const { return m_images.value(trayImageSize(m_images.keys(), slotPx)); }

    QMap<int, QPixmap> m_images;
};

// Every image of the window's icon, in its own pixels.
QIcon trayIcon(const QIcon &windowIcon)
{
    QMap<int, QPixmap> images;
    for (const QSize &s : windowIcon.availableSizes()) {
        const QPixmap p = windowIcon.pixmap(s, 1.0);
        if (!p.isNull())
            images.insert(p.width(), p);
    }
    return images.isEmpty() ? windowIcon : QIcon(new TrayIconEngine(images));
}

} // namespace

void Tray::add(const QIcon &icon, const QString &tip, TrayClient *client)
{
    if (m_client)
        return;
    m_client = client;
    m_iconImage = icon;
    m_tip = tip;
    available();
}

bool Tray::available()
{
    // Once the icon is up, Qt keeps it in whichever notification area comes and goes.
    if (m_icon)
        return true;
    const bool exists = notificationAreaExists();
    if (exists && m_client)
        show();
    return exists;
}

void Tray::show()
{
    m_icon = new QSystemTrayIcon(trayIcon(m_iconImage), this);
    m_icon->setToolTip(m_tip);
    // Exported over D-Bus to a status-notifier host. Where the host embeds the icon's window, the
    // raw input never reaches Qt's own handling, so Qt pops nothing up itself.
    m_icon->setContextMenu(m_client->trayMenu());
    connect(m_icon, &QSystemTrayIcon::activated, this, &Tray::activated);
    watchTrayMenuRequests();
    qApp->installEventFilter(this);
    m_icon->show();
}

void Tray::remove()
{
    m_client = nullptr;
    if (!m_icon)
        return;
    qApp->removeEventFilter(this);
    delete m_icon;
    m_icon = nullptr;
}

// Where the tray host embeds the icon's own window (XEmbed), its mouse input arrives here as presses
// and releases; it is taken whole, so Qt's own reading of it never reaches activated().
bool Tray::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return false;
    // The icon's window is known by its place: Qt reports the icon's rectangle as that of the window
    // it made for the icon, so the plain top-level window with exactly that rectangle is the one, even
    // after Qt makes a new one for a tray that restarted. Pop-ups and tips are never it, and a window
    // of ours would have to match the icon to the pixel. A status-notifier host has no such window
    // (the rectangle is empty) and Windows sends no raw input: there activated() reports instead.
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

// A status-notifier host has no icon window: it reports what the user did instead.
void Tray::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_rawInput)
        // A status-notifier host may say where its menu should open; else at the pointer.
        deliver(activationTrayRequest(reason, trayReportsDoubleClicks()), takeTrayMenuPoint().value_or(QCursor::pos()));
}

// Only while there is an icon, which has a client.
void Tray::deliver(TrayRequest request, QPoint at)
{
    if (request == TrayRequest::Ruler)
        m_client->trayOpenRuler();
    else if (request == TrayRequest::Menu)
        m_client->trayOpenMenu(at);
}

} // namespace zentyr

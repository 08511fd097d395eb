// SPDX-License-Identifier: MIT
#include "platform/system/tray.h"

#include <QIconEngine>
#include <QMap>
#include <QPainter>

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
    return ok && ms >= 0 ? ms : 60000;
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

} // namespace

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

} // namespace zentyr

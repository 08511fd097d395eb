// SPDX-License-Identifier: MIT
#pragma once
// The program's icon in the notification area on Qt, and the one place where what the platform
// reports about it becomes a request of the tray controller.
#include <QEvent>
#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

namespace zentyr {

// What the user asks of the program through its icon.
enum class TrayRequest { Nothing, Ruler, Menu };

// Where the tray host embeds the icon's own window, the raw input over it.
TrayRequest rawTrayRequest(QEvent::Type type, Qt::MouseButton button);
// Where the platform reports an activation instead. Windows reports a single click and a double-click
// apart, so there a single click is only a click; a status-notifier host has no double-click, and its
// activation (a left click) counts as the double-click.
TrayRequest activationTrayRequest(QSystemTrayIcon::ActivationReason reason, bool doubleClicksReported);
// Whether the platform's tray reports double-clicks; each operating system answers in a file of its own.
bool trayReportsDoubleClicks();

// Which of the icon's square images (sizes in device pixels) a slot of slotPx device pixels shows:
// the largest that fits unscaled, else the smallest.
int trayImageSize(const QList<int> &sizes, int slotPx);

// How long the program waits for a notification area before it concludes there is none.
inline constexpr int kTrayGracePeriodMs = 60000;
// The grace period a setting asks for (ZENTYR_TRAY_GRACE_MS, milliseconds); the default when it is
// empty, not a number or negative.
int trayGracePeriodMs(const QByteArray &setting);

// Whether a notification area exists now; each operating system answers in a file of its own.
bool notificationAreaExists();

// Hears what the user asks of the icon; it must outlive the icon.
class TrayClient {
public:
    virtual void trayOpenRuler() = 0;
    // at: the mouse position, in desktop pixels.
    virtual void trayOpenMenu(QPoint at) = 0;
    // The menu a status-notifier host shows itself (it reads the menu over D-Bus). Where the program
    // sees the raw input, it pops the menu up on its own from trayOpenMenu().
    virtual QMenu *trayMenu() = 0;

protected:
    ~TrayClient() = default;
};

// The program's icon in the notification area, with its tip; it tells its client what the user asks.
class Tray : public QObject {
public:
    // Without a notification area the icon waits for one: available() shows it once one exists.
    // Nothing happens while there is an icon already.
    void add(const QIcon &icon, const QString &tip, TrayClient *client);
    void remove();
    // Whether a notification area exists now; a waiting icon is shown when one does.
    bool available();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void deliver(TrayRequest request, QPoint at);
    void show();

    QIcon m_iconImage;
    QString m_tip;
    TrayClient *m_client = nullptr;
    QSystemTrayIcon *m_icon = nullptr;
    bool m_rawInput = false;
};

} // namespace zentyr

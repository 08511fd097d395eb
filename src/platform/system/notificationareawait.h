// SPDX-License-Identifier: MIT
#pragma once
// The wait for a notification area when the program finds none at start: a panel often starts
// after the program (at login), so only a long wait without one means there is none.
#include <QObject>
#include <QTimer>

#include <functional>

namespace zentyr {

class NotificationAreaWait : public QObject {
    Q_OBJECT
public:
    // areaExists answers whether a notification area exists now.
    explicit NotificationAreaWait(std::function<bool()> areaExists, QObject *parent = nullptr);

    // Asks every second until one exists, and gives up once graceMs have passed without one. The
    // asking goes on after that: a panel that comes later still counts.
    void start(int graceMs);
    // No more asking and no more signals.
    void stop();
    // The end of the grace period: asks once more, then gives up unless one has appeared.
    void endGracePeriod();

    // Started, and no notification area found yet.
    bool waiting() const { return m_waiting; }
    bool inGracePeriod() const { return m_grace.isActive(); }
    int graceMs() const { return m_grace.interval(); }

signals:
    void appeared();
    void gaveUp();

private:
    void check();

    std::function<bool()> m_areaExists;
    QTimer m_grace;
    QTimer m_check;
    bool m_waiting = false;
};

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "platform/system/notificationareawait.h"

namespace zentyr {

NotificationAreaWait::NotificationAreaWait(std::function<bool()> areaExists, QObject *parent)
    : QObject(parent), m_areaExists(std::move(areaExists))
{
    m_grace.setSingleShot(true);
    connect(&m_grace, &QTimer::timeout, this, &NotificationAreaWait::endGracePeriod);
    connect(&m_check, &QTimer::timeout, this, &NotificationAreaWait::check);
}

void NotificationAreaWait::start(int graceMs)
{
    m_waiting = true;
    m_grace.start(graceMs);
    m_check.start(1000);
}

void NotificationAreaWait::stop()
{
    m_grace.stop();
    m_check.stop();
}

void NotificationAreaWait::check()
{
    if (!m_waiting || !m_areaExists())
        return;
    m_waiting = false;
    stop();
    emit appeared();
}

void NotificationAreaWait::endGracePeriod()
{
    m_grace.stop();
    check();
    if (m_waiting)
        emit gaveUp();
}

} // namespace zentyr

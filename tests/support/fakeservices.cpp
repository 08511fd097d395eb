// SPDX-License-Identifier: MIT
#include "fakeservices.h"
#include "platform/system/windowsystem.h"

namespace zentyr::test {

FakeServices::FakeServices() { setServices(this); }
FakeServices::~FakeServices() { setServices(nullptr); }

void FakeServices::msgBox(const QString &text, int style, const QString &title, QWidget *)
{
    boxes.append({text, style, title});
    pointerDuringBox.append(mousePointer());
}

OpenResult FakeServices::showOpen(QWidget *, const OpenRequest &request)
{
    openRequests.append(request);
    pointerDuringOpen.append(mousePointer());
    if (openAnswers.empty())
        return OpenResult{true, QString()};
    OpenResult r = openAnswers.front();
    openAnswers.pop_front();
    return r;
}

bool FakeServices::shellNotifyIcon(int message, const NotifyIconData &data)
{
    notifications.append({message, data});
    if (!notifyErrors.empty()) {
        const VbError e = notifyErrors.front();
        notifyErrors.pop_front();
        throw e;
    }
    return trayAvailable;
}

bool FakeServices::startSystemMove(QWidget *window)
{
    systemMoves.append(window);
    return systemMoveWorks;
}

} // namespace zentyr::test

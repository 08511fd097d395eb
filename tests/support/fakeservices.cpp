// SPDX-License-Identifier: MIT
#include "fakeservices.h"

#include <QApplication>

namespace zentyr::test {

static Qt::CursorShape programPointer()
{
    const QCursor *c = QApplication::overrideCursor();
    return c ? c->shape() : Qt::ArrowCursor;
}

FakeServices::FakeServices() { setServices(this); }
FakeServices::~FakeServices() { setServices(nullptr); }

void FakeServices::msgBox(const QString &text, int style, const QString &title, QWidget *)
{
    boxes.append({text, style, title});
    pointerDuringBox.append(programPointer());
    if (whileBox)
        whileBox();
}

OpenResult FakeServices::showOpen(QWidget *, const OpenRequest &request)
{
    openRequests.append(request);
    pointerDuringOpen.append(programPointer());
    if (whileOpen)
        whileOpen();
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

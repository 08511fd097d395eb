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

void FakeServices::msgBox(const QString &text, MessageStyle style, const QString &title, QWidget *)
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

void FakeServices::addTrayIcon(const QIcon &icon, const QString &tip, TrayClient *client)
{
    trayCalls << QStringLiteral("add");
    trayIcon = icon;
    trayTip = tip;
    trayClient = client;
}

bool FakeServices::startSystemMove(QWidget *window)
{
    systemMoves.append(window);
    return systemMoveWorks;
}

} // namespace zentyr::test

// SPDX-License-Identifier: MIT
#pragma once
#include "platform/system/services.h"
#include "platform/forms/vberror.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>

namespace zentyr::test {

// Records every service call and answers from a script; installs itself for its lifetime.
class FakeServices : public Services {
public:
    struct Box {
        QString text;
        int style;
        QString title;
    };
    struct Notify {
        int message;
        NotifyIconData data;
    };

    FakeServices();
    ~FakeServices() override;

    void msgBox(const QString &text, int style, const QString &title, QWidget *owner = nullptr) override;
    OpenResult showOpen(QWidget *owner, const OpenRequest &request) override;
    bool previousInstance() override { return previous; }
    void endProgram() override
    {
        ++endCount;
        if (onEnd)
            onEnd();
    }
    bool shellNotifyIcon(int message, const NotifyIconData &data) override;
    bool notificationAreaAvailable() override { return trayAvailable; }
    bool startSystemMove(QWidget *window) override;

    // Script.
    bool previous = false;
    bool trayAvailable = true;
    bool systemMoveWorks = true;
    std::deque<OpenResult> openAnswers; // empty: cancel
    std::function<void()> onEnd;
    // Run while the Open dialog or a box waits, as other windows' handlers would.
    std::function<void()> whileOpen;
    std::function<void()> whileBox;
    // Errors the next notify-icon calls raise, in order.
    std::deque<VbError> notifyErrors;

    // Record.
    QList<Box> boxes;
    QList<OpenRequest> openRequests;
    QList<Notify> notifications;
    QList<QPointer<QWidget>> systemMoves;
    int endCount = 0;
    // The program-wide pointer while the dialog and each box were up.
    QList<Qt::CursorShape> pointerDuringOpen;
    QList<Qt::CursorShape> pointerDuringBox;
};

} // namespace zentyr::test

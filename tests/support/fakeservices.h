// SPDX-License-Identifier: MIT
#pragma once
#include "platform/system/services.h"

#include <QIcon>

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
        MessageStyle style;
        QString title;
    };

    FakeServices();
    ~FakeServices() override;

    void msgBox(const QString &text, MessageStyle style, const QString &title, QWidget *owner = nullptr) override;
    OpenResult showOpen(QWidget *owner, const OpenRequest &request) override;
    bool previousInstance() override { return previous; }
    void endProgram() override
    {
        ++endCount;
        if (onEnd)
            onEnd();
    }
    void addTrayIcon(const QIcon &icon, const QString &tip, TrayClient *client) override;
    void removeTrayIcon() override { trayCalls << QStringLiteral("remove"); }
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

    // Record.
    QList<Box> boxes;
    QList<OpenRequest> openRequests;
    QStringList trayCalls; // "add" and "remove", in order
    QIcon trayIcon;
    QString trayTip;
    TrayClient *trayClient = nullptr;
    QList<QPointer<QWidget>> systemMoves;
    int endCount = 0;
    // The program-wide pointer while the dialog and each box were up.
    QList<Qt::CursorShape> pointerDuringOpen;
    QList<Qt::CursorShape> pointerDuringBox;
};

} // namespace zentyr::test

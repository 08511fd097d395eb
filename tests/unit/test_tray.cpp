// SPDX-License-Identifier: MIT
// The tray controller: its record, its notifications and its menu.
#include "app/app.h"
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/system/notificationareawait.h"
#include "platform/system/tray.h"

#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

Q_DECLARE_METATYPE(zentyr::TrayEvent)
Q_DECLARE_METATYPE(QList<int>)

class TrayTest : public QObject {
    Q_OBJECT
    FakeServices *fake = nullptr;

    // What the tray delivers: the mouse message number.
    static void notify(frmRightClick &tray, int message) { tray.trayMessage(message); }

private slots:
    void init() { fake = new FakeServices; }
    void cleanup()
    {
        resetForms();
        delete fake;
    }

    void record()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        QCOMPARE(fake->notifications.size(), 1);
        const NotifyIconData &d = fake->notifications[0].data;
        QCOMPARE(d.cbSize, 88u);
        QCOMPARE(d.hWnd, quint32(tray.winId()));
        QCOMPARE(d.uID, 1u);
        QCOMPARE(d.uFlags, 7u);
        QCOMPARE(d.uCallbackMessage, 512u);
        // The icon is the one the tray controller's window carries; the window takes the messages.
        QCOMPARE(d.hIcon, quint32(tray.winId()));
        QVERIFY(!tray.windowIcon().isNull());
        QCOMPARE(d.icon.cacheKey(), tray.windowIcon().cacheKey());
        QCOMPARE(d.receiver, static_cast<TrayMessageReceiver *>(&tray));
        QCOMPARE(QByteArray(d.szTip.data(), 64), QByteArray("Zentyr by Orvane") + '\0' + QByteArray(64 - 17, ' '));
        QCOMPARE(d.tipText(), QString("Zentyr by Orvane"));
        QCOMPARE(tray.windowTitle(), QString("Quillet - Main"));
    }

    void fixedStringAssignment()
    {
        std::array<char, 64> f{};
        assignFixedString(f, QByteArray(70, 'x'));
        QCOMPARE(QByteArray(f.data(), 64), QByteArray(64, 'x'));
        assignFixedString(f, QByteArray());
        QCOMPARE(QByteArray(f.data(), 64), QByteArray(64, ' '));
    }

    void messageNumbers_data()
    {
        QTest::addColumn<TrayEvent>("event");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("number");
        QTest::newRow("move") << TrayEvent::Move << Qt::NoButton << 512;
        QTest::newRow("move, left held") << TrayEvent::Move << Qt::LeftButton << 512;
        QTest::newRow("left press") << TrayEvent::Press << Qt::LeftButton << 513;
        QTest::newRow("left release") << TrayEvent::Release << Qt::LeftButton << 514;
        QTest::newRow("left double-click") << TrayEvent::DoubleClick << Qt::LeftButton << 515;
        QTest::newRow("right press") << TrayEvent::Press << Qt::RightButton << 516;
        QTest::newRow("right release") << TrayEvent::Release << Qt::RightButton << 517;
        QTest::newRow("right double-click") << TrayEvent::DoubleClick << Qt::RightButton << 518;
        QTest::newRow("middle press") << TrayEvent::Press << Qt::MiddleButton << 519;
        QTest::newRow("middle release") << TrayEvent::Release << Qt::MiddleButton << 520;
        QTest::newRow("middle double-click") << TrayEvent::DoubleClick << Qt::MiddleButton << 521;
        QTest::newRow("back button: nothing") << TrayEvent::Press << Qt::BackButton << 0;
        QTest::newRow("release without a button: nothing") << TrayEvent::Release << Qt::NoButton << 0;
    }

    void messageNumbers()
    {
        QFETCH(TrayEvent, event);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, number);
        QCOMPARE(trayMessageNumber(event, button), number);
    }

    // What a status-notifier host reports instead of raw input.
    void activationNumbers()
    {
        // Status-notifier hosts: the activation is the double-click. Windows: a click is a click.
        const struct {
            QSystemTrayIcon::ActivationReason reason;
            int host, windows;
        } table[] = {{QSystemTrayIcon::Trigger, 515, 514},
                     {QSystemTrayIcon::DoubleClick, 515, 515},
                     {QSystemTrayIcon::Context, 517, 517},
                     {QSystemTrayIcon::MiddleClick, 520, 520},
                     {QSystemTrayIcon::Unknown, 0, 0}};
        for (const auto &row : table) {
            QCOMPARE(trayActivationNumber(row.reason, false), row.host);
            QCOMPARE(trayActivationNumber(row.reason, true), row.windows);
        }
    }

    void imageForSlot_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("image");
        QTest::newRow("22-px panel: the small one unscaled") << QList<int>{16, 32} << 22 << 16;
        QTest::newRow("exactly 32") << QList<int>{32, 16} << 32 << 32;
        QTest::newRow("48-px panel") << QList<int>{16, 32} << 48 << 32;
        QTest::newRow("smaller than both: the smallest") << QList<int>{32, 16} << 12 << 16;
        QTest::newRow("no images") << QList<int>{} << 22 << 0;
    }

    void imageForSlot()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(int, slot);
        QFETCH(int, image);
        QCOMPARE(trayImageSize(sizes, slot), image);
    }

    void gracePeriodSetting_data()
    {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<int>("ms");
        QTest::newRow("unset") << QByteArray() << 60000;
        QTest::newRow("a number") << QByteArray("1500") << 1500;
        QTest::newRow("negative") << QByteArray("-5") << 60000;
        QTest::newRow("not a number") << QByteArray("soon") << 60000;
    }

    void gracePeriodSetting()
    {
        QFETCH(QByteArray, setting);
        QFETCH(int, ms);
        QCOMPARE(trayGracePeriodMs(setting), ms);
    }

    // A notification area found at the end of the grace period counts; one that comes after the
    // wait gave up still ends the wait.
    void notificationAreaWait()
    {
        bool exists = true;
        NotificationAreaWait wait([&] { return exists; });
        QSignalSpy appeared(&wait, &NotificationAreaWait::appeared), gaveUp(&wait, &NotificationAreaWait::gaveUp);
        wait.start(60000);
        wait.endGracePeriod();
        QCOMPARE(appeared.size(), 1);
        QVERIFY(gaveUp.isEmpty() && !wait.waiting());

        exists = false;
        wait.start(10);
        QVERIFY(gaveUp.wait(1000));
        QVERIFY(wait.waiting() && !wait.inGracePeriod());
        exists = true;
        QVERIFY(appeared.wait(3000));
        QCOMPARE(appeared.size(), 2);
        QCOMPARE(gaveUp.size(), 1);
        QVERIFY(!wait.waiting());
    }

    void notifications_data()
    {
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("ruler");
        QTest::addColumn<bool>("menu");
        QTest::newRow("515 left double-click") << 515 << true << false;
        QTest::newRow("517 right release") << 517 << false << true;
        QTest::newRow("516 right press") << 516 << false << false;
        QTest::newRow("513 left press") << 513 << false << false;
        QTest::newRow("514 left release") << 514 << false << false;
        QTest::newRow("512 move") << 512 << false << false;
        QTest::newRow("518 right double-click") << 518 << false << false;
    }

    void notifications()
    {
        QFETCH(int, message);
        QFETCH(bool, ruler);
        QFETCH(bool, menu);
        setCommandLine("hideruler");
        frmRightClick &tray = loadForm<frmRightClick>();
        notify(tray, message);
        QCOMPARE(isShown<frmRuler>(), ruler);
        QCOMPARE(tray.mnuShutDown->isVisible(), menu);
        closePopups();
        setCommandLine(QString());
    }

    void doubleClickWithTheRulerOpenKeepsOne()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        notify(tray, 515);
        frmRuler *r = loadedForm<frmRuler>();
        const QRect g = r->geometry();
        notify(tray, 515);
        QCOMPARE(loadedForm<frmRuler>(), r);
        QCOMPARE(r->geometry(), g);
    }

    void menu()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        QCOMPARE(
            menuCaptions(tray.mnuShutDown),
            QStringList({"About Zentyr", "Help", "Show Standard Ruler", "Show Vertical Ruler", "-", "Exit Zentyr"}));
        QCOMPARE(tray.mnuShutDown->title(), QString("Shut Down"));
        for (QAction *a : tray.mnuShutDown->actions())
            QVERIFY(!a->isCheckable() && a->isEnabled() && a->shortcut().isEmpty());
    }

    void aboutAndHelpAreTheSame()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.mnuAbout->trigger();
        frmSplash *info = loadedForm<frmSplash>();
        QVERIFY(info && info->isVisible() && info->cmdOK->isVisible());
        QCOMPARE(info->heightTwips(), 7500.0f);
        tray.mnuHelp->trigger();
        QCOMPARE(loadedForm<frmSplash>(), info);
        QVERIFY(!info->Timer1.isActive());
    }

    void showRulers()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.mnuShowRuler->trigger();
        tray.mnuVRuler->trigger();
        QVERIFY(isShown<frmRuler>());
        QVERIFY(isShown<frmVRuler>());
    }

    void exitRemovesTheIconThenEnds()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        int notificationsAtEnd = -1;
        fake->onEnd = [&] { notificationsAtEnd = fake->notifications.size(); };
        tray.mnuClose->trigger();
        QCOMPARE(fake->endCount, 1);
        QCOMPARE(notificationsAtEnd, 2);
        QCOMPARE(fake->notifications[1].message, NIM_DELETE);
        const NotifyIconData &added = fake->notifications[0].data, &removed = fake->notifications[1].data;
        QVERIFY(std::tie(removed.cbSize, removed.hWnd, removed.uID, removed.uFlags, removed.uCallbackMessage,
                         removed.hIcon, removed.szTip, removed.receiver)
                == std::tie(added.cbSize, added.hWnd, added.uID, added.uFlags, added.uCallbackMessage, added.hIcon,
                            added.szTip, added.receiver));
        QCOMPARE(removed.icon.cacheKey(), added.icon.cacheKey());
    }

    // No notification area: the icon is made anyway, and the program waits for one before it
    // says anything or ends.
    void hiderulerWithoutNotificationAreaWaitsThenExplainsAndEnds()
    {
        fake->trayAvailable = false;
        setCommandLine("hideruler");
        frmRightClick &tray = loadForm<frmRightClick>();
        QCOMPARE(fake->notifications.size(), 1);
        QCOMPARE(fake->endCount, 0);
        QVERIFY(tray.areaWait.waiting() && tray.areaWait.inGracePeriod());
        QCOMPARE(tray.areaWait.graceMs(), 60000);
        QVERIFY(fake->boxes.isEmpty());
        int boxesAtEnd = -1, notificationsAtEnd = -1;
        fake->onEnd = [&] {
            boxesAtEnd = fake->boxes.size();
            notificationsAtEnd = fake->notifications.size();
        };
        tray.noNotificationArea(); // the grace period is over
        QCOMPARE(fake->endCount, 1);
        QCOMPARE(boxesAtEnd, 1);
        QCOMPARE(notificationsAtEnd, 2);
        QCOMPARE(fake->notifications[1].message, NIM_DELETE);
        QCOMPARE(fake->boxes[0].style, 16);
        QCOMPARE(fake->boxes[0].title, QString("Zentyr"));
        QVERIFY2(fake->boxes[0].text.contains("within 60 seconds") && fake->boxes[0].text.contains("ends now"),
                 qPrintable(fake->boxes[0].text));
        setCommandLine(QString());
    }

    void withoutNotificationAreaTheLastWindowEndsTheProgram()
    {
        fake->trayAvailable = false;
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.Timer1_Timer();
        QVERIFY(isShown<frmRuler>());
        showForm<frmVRuler>();
        // Within the grace period the program waits for a host, whatever is on screen.
        loadedForm<frmRuler>()->mnuHideRuler_Click();
        tray.noNotificationArea();
        QCOMPARE(fake->boxes.size(), 1);
        QCOMPARE(fake->boxes[0].style, 0);
        QCOMPARE(fake->boxes[0].title, QString("Zentyr"));
        QVERIFY(fake->boxes[0].text.contains("ends when its last window is closed"));
        QCOMPARE(fake->endCount, 0); // the vertical ruler is still on screen
        loadedForm<frmVRuler>()->mnuHideVRuler_Click();
        QCOMPARE(fake->endCount, 1);
    }

    void orderlyTeardownRemovesTheIcon()
    {
        loadForm<frmRightClick>();
        resetForms();
        QCOMPARE(fake->notifications.size(), 2);
        QCOMPARE(fake->notifications[1].message, NIM_DELETE);
    }
};

QTEST_MAIN(TrayTest)
#include "test_tray.moc"

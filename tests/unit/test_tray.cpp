// SPDX-License-Identifier: MIT
// The tray controller: its icon, what the tray asks of it and its menu.
#include "app/app.h"
#include "artwork/artwork.h"
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/system/tray.h"

#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

Q_DECLARE_METATYPE(zentyr::TrayRequest)
Q_DECLARE_METATYPE(QList<int>)

class TrayTest : public QObject {
    Q_OBJECT
    FakeServices *fake = nullptr;

private slots:
    void init() { fake = new FakeServices; }
    void cleanup()
    {
        resetForms();
        delete fake;
    }

    void iconAndTip()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        QCOMPARE(fake->trayCalls, QStringList{"add"});
        QCOMPARE(fake->trayTip, QString("Zentyr by Orvane"));
        QCOMPARE(fake->trayIcon.availableSizes(), artwork::programIcon().availableSizes());
        QVERIFY(!fake->trayIcon.availableSizes().isEmpty());
        QCOMPARE(fake->trayClient, static_cast<TrayClient *>(&tray));
        QCOMPARE(fake->trayClient->trayMenu(), tray.mnuShutDown);
    }

    // Raw input where the host embeds the icon's window; the menu comes on the right button's release.
    void rawInput_data()
    {
        QTest::addColumn<QEvent::Type>("type");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<TrayRequest>("request");
        QTest::newRow("left double-click") << QEvent::MouseButtonDblClick << Qt::LeftButton << TrayRequest::Ruler;
        QTest::newRow("right release") << QEvent::MouseButtonRelease << Qt::RightButton << TrayRequest::Menu;
        QTest::newRow("right press") << QEvent::MouseButtonPress << Qt::RightButton << TrayRequest::Nothing;
        QTest::newRow("left press") << QEvent::MouseButtonPress << Qt::LeftButton << TrayRequest::Nothing;
        QTest::newRow("left release") << QEvent::MouseButtonRelease << Qt::LeftButton << TrayRequest::Nothing;
        QTest::newRow("move") << QEvent::MouseMove << Qt::NoButton << TrayRequest::Nothing;
        QTest::newRow("right double-click") << QEvent::MouseButtonDblClick << Qt::RightButton << TrayRequest::Nothing;
        QTest::newRow("middle release") << QEvent::MouseButtonRelease << Qt::MiddleButton << TrayRequest::Nothing;
    }

    void rawInput()
    {
        QFETCH(QEvent::Type, type);
        QFETCH(Qt::MouseButton, button);
        QFETCH(TrayRequest, request);
        QCOMPARE(rawTrayRequest(type, button), request);
    }

    // What the platform reports instead of raw input.
    void activations()
    {
        // Status-notifier hosts: the activation is the double-click. Windows: a click is only a click.
        const struct {
            QSystemTrayIcon::ActivationReason reason;
            TrayRequest host, windows;
        } table[] = {{QSystemTrayIcon::Trigger, TrayRequest::Ruler, TrayRequest::Nothing},
                     {QSystemTrayIcon::DoubleClick, TrayRequest::Ruler, TrayRequest::Ruler},
                     {QSystemTrayIcon::Context, TrayRequest::Menu, TrayRequest::Menu},
                     {QSystemTrayIcon::MiddleClick, TrayRequest::Nothing, TrayRequest::Nothing},
                     {QSystemTrayIcon::Unknown, TrayRequest::Nothing, TrayRequest::Nothing}};
        for (const auto &row : table) {
            QCOMPARE(activationTrayRequest(row.reason, false), row.host);
            QCOMPARE(activationTrayRequest(row.reason, true), row.windows);
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
        fake->trayAvailable = false;
        frmRightClick &first = loadForm<frmRightClick>();
        fake->trayAvailable = true;
        first.areaGrace.start(0);
        QTRY_VERIFY_WITH_TIMEOUT(!first.areaGrace.isActive(), 500);
        QVERIFY(!first.areaCheck.isActive() && fake->boxes.isEmpty());
        resetForms();

        fake->trayAvailable = false;
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.areaGrace.start(10);
        QTRY_COMPARE(fake->boxes.size(), 1);
        QVERIFY(tray.areaCheck.isActive() && !tray.areaGrace.isActive());
        fake->trayAvailable = true;
        QTRY_VERIFY_WITH_TIMEOUT(!tray.areaCheck.isActive(), 3000);
        QCOMPARE(fake->boxes.size(), 1);
    }

    // The ruler even with "hideruler"; the menu at the point the tray gives.
    void requests()
    {
        setCommandLine("hideruler");
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.trayOpenMenu(QPoint(120, 90));
        QVERIFY(tray.mnuShutDown->isVisible());
        QCOMPARE(tray.mnuShutDown->pos(), QPoint(120, 90));
        QVERIFY(!isShown<frmRuler>());
        closePopups();
        tray.trayOpenRuler();
        QVERIFY(isShown<frmRuler>());
    }

    void doubleClickWithTheRulerOpenKeepsOne()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.trayOpenRuler();
        frmRuler *r = loadedForm<frmRuler>();
        const QRect g = r->geometry();
        tray.trayOpenRuler();
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
        tray.mnuShutDown->findChild<QAction *>("mnuAbout")->trigger();
        frmSplash *info = loadedForm<frmSplash>();
        QVERIFY(info && info->isVisible() && info->cmdOK->isVisible());
        QCOMPARE(info->height(), 500); // 7500 twips
        tray.mnuShutDown->findChild<QAction *>("mnuHelp")->trigger();
        QCOMPARE(loadedForm<frmSplash>(), info);
        QVERIFY(!info->Timer1.isActive());
    }

    void showRulers()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.mnuShutDown->findChild<QAction *>("mnuShowRuler")->trigger();
        tray.mnuShutDown->findChild<QAction *>("mnuVRuler")->trigger();
        QVERIFY(isShown<frmRuler>());
        QVERIFY(isShown<frmVRuler>());
    }

    void exitRemovesTheIconThenEnds()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        QStringList callsAtEnd;
        fake->onEnd = [&] { callsAtEnd = fake->trayCalls; };
        tray.mnuShutDown->findChild<QAction *>("mnuClose")->trigger();
        QCOMPARE(fake->endCount, 1);
        QCOMPARE(callsAtEnd, QStringList({"add", "remove"}));
    }

    // No notification area: the icon is made anyway, and the program waits for one before it
    // says anything or ends.
    void hiderulerWithoutNotificationAreaWaitsThenExplainsAndEnds()
    {
        fake->trayAvailable = false;
        setCommandLine("hideruler");
        frmRightClick &tray = loadForm<frmRightClick>();
        QCOMPARE(fake->trayCalls, QStringList{"add"});
        QCOMPARE(fake->endCount, 0);
        QVERIFY(tray.areaCheck.isActive() && tray.areaGrace.isActive());
        QCOMPARE(tray.areaGrace.interval(), 60000);
        QVERIFY(fake->boxes.isEmpty());
        int boxesAtEnd = -1;
        QStringList callsAtEnd;
        fake->onEnd = [&] {
            boxesAtEnd = fake->boxes.size();
            callsAtEnd = fake->trayCalls;
        };
        tray.noNotificationArea(); // the grace period is over
        QCOMPARE(fake->endCount, 1);
        QCOMPARE(boxesAtEnd, 1);
        QCOMPARE(callsAtEnd, QStringList({"add", "remove"}));
        QCOMPARE(fake->boxes[0].style, MessageStyle::Critical);
        QCOMPARE(fake->boxes[0].title, QString("Zentyr"));
        QVERIFY2(fake->boxes[0].text.contains("within 60 seconds") && fake->boxes[0].text.contains("ends now"),
                 qPrintable(fake->boxes[0].text));
    }

    void withoutNotificationAreaTheLastWindowEndsTheProgram()
    {
        fake->trayAvailable = false;
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.Timer1_Timer();
        QVERIFY(isShown<frmRuler>());
        showForm<frmVRuler>();
        // Within the grace period the program waits for a host, whatever is on screen.
        loadedForm<frmRuler>()->unload();
        tray.noNotificationArea();
        QCOMPARE(fake->boxes.size(), 1);
        QCOMPARE(fake->boxes[0].style, MessageStyle::Plain);
        QCOMPARE(fake->boxes[0].title, QString("Zentyr"));
        QVERIFY(fake->boxes[0].text.contains("ends when its last window is closed"));
        QCOMPARE(fake->endCount, 0); // the vertical ruler is still on screen
        loadedForm<frmVRuler>()->unload();
        QCOMPARE(fake->endCount, 1);
    }

    void orderlyTeardownRemovesTheIcon()
    {
        loadForm<frmRightClick>();
        resetForms();
        QCOMPARE(fake->trayCalls, QStringList({"add", "remove"}));
    }
};

QTEST_MAIN(TrayTest)
#include "test_tray.moc"

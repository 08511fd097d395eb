// SPDX-License-Identifier: MIT
// Start-up: the splash, the hand-over, the tray controller and the command line.
#include "app/app.h"
#include "platform/system/runtimedir.h"
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/forms/twips.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

class StartupTest : public QObject {
    Q_OBJECT
    FakeServices *fake = nullptr;

    static QList<Form *> visibleForms()
    {
        QList<Form *> out;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<Form *>(w); f && f->isVisible())
                out << f;
        return out;
    }

private slots:
    void init() { fake = new FakeServices; }
    void cleanup()
    {
        resetForms();
        delete fake;
    }

    void timeline()
    {
        QElapsedTimer clock;
        clock.start();
        showForm<frmSplash>();

        // 0 ms: the splash alone, OK hidden, the hand-over timer running; no tray icon yet.
        frmSplash *splash = loadedForm<frmSplash>();
        QVERIFY(splash && splash->isVisible());
        QVERIFY(!splash->cmdOK->isVisible());
        QVERIFY(splash->findChild<QPushButton *>("cmdOptions")->isVisible());
        QVERIFY(splash->Timer1.isActive());
        QCOMPARE(splash->Timer1.interval(), 2000);
        QVERIFY(!loadedForm<frmRightClick>());
        QVERIFY(fake->trayCalls.isEmpty());

        // Hand-over at 2000 ms: splash gone, tray controller loaded, icon added.
        QTRY_VERIFY_WITH_TIMEOUT(!loadedForm<frmSplash>(), 3000);
        const qint64 handover = clock.elapsed();
        QVERIFY2(handover >= 1950, qPrintable(QString::number(handover)));
        frmRightClick *tray = loadedForm<frmRightClick>();
        QVERIFY(tray);
        QCOMPARE(fake->trayCalls, QStringList{"add"});
        QVERIFY(!loadedForm<frmRuler>());

        // 3000 ms: the standard ruler, and the timer stops.
        QTRY_VERIFY_WITH_TIMEOUT(isShown<frmRuler>(), 2000);
        const qint64 ruler = clock.elapsed();
        QVERIFY2(ruler >= handover + 950, qPrintable(QString::number(ruler)));
        QVERIFY(!tray->Timer1.isActive());
        QCOMPARE(fake->boxes.size(), 0);
        QCOMPARE(fake->endCount, 0);
    }

    void secondCopyShowsTheBoxAndEndsWithNothingShown()
    {
        fake->previous = true;
        int shownAtEnd = -1;
        bool timerAtEnd = true;
        fake->onEnd = [&] {
            shownAtEnd = visibleForms().size();
            if (frmSplash *s = loadedForm<frmSplash>())
                timerAtEnd = s->Timer1.isActive();
        };
        loadForm<frmSplash>();
        QCOMPARE(fake->boxes.size(), 1);
        QCOMPARE(fake->boxes[0].text, QString("Zentyr is already running !"));
        QCOMPARE(fake->boxes[0].title,
                 QString("Look in the system tray next to the time at the bottom of the screen."));
        QCOMPARE(fake->boxes[0].style, MessageStyle::Critical);
        QCOMPARE(fake->endCount, 1);
        QCOMPARE(shownAtEnd, 0);
        QVERIFY(!timerAtEnd);
        QVERIFY(fake->trayCalls.isEmpty());
    }

    void guardInTheTrayControllerAndTheRuler()
    {
        fake->previous = true;
        loadForm<frmRightClick>();
        QCOMPARE(fake->endCount, 1);
        QVERIFY(fake->trayCalls.isEmpty()); // ended before the icon
        loadForm<frmRuler>();
        QCOMPARE(fake->endCount, 2);
        QCOMPARE(fake->boxes.size(), 2);
        QVERIFY(!loadedForm<frmRuler>()->isVisible()); // ended before its placement
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("rulerShown");
        QTest::newRow("hideruler") << "hideruler" << false;
        QTest::newRow("HideRuler") << "HideRuler" << true;
        QTest::newRow("further word") << "hideruler x" << true;
        QTest::newRow("slash") << "/hideruler" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("trailing blank") << "hideruler " << true;
    }

    void commandLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, rulerShown);
        setCommandLine(line);
        frmRightClick &tray = loadForm<frmRightClick>();
        QVERIFY(tray.Timer1.isActive());
        QCOMPARE(tray.Timer1.interval(), 1000);
        tray.Timer1_Timer();
        QCOMPARE(isShown<frmRuler>(), rulerShown);
        // Either way the timer has nothing more to do.
        QVERIFY(!tray.Timer1.isActive());
    }

    void helpAndVersionOnlyAlone()
    {
        const QString help = startText({"--help"}), version = startText({"--version"});
        QVERIFY(help.startsWith("Usage: zentyr") && version.startsWith("Zentyr "));
        const QList<QPair<QStringList, QString>> table
            = {{{"--help"}, help},    {{"--version"}, version},      {{}, {}},          {{"hideruler"}, {}},
               {{"--help", "x"}, {}}, {{"--version", "--help"}, {}}, {{"--HELP"}, {}},  {{"-h"}, {}},
               {{"--help "}, {}},     {{"hideruler", "--help"}, {}}, {{"-version"}, {}}};
        for (const auto &[args, want] : table)
            QVERIFY2(startText(args) == want, qPrintable(args.join(QLatin1Char('|'))));
    }

    void runtimeDirOnlyWhenPrivate()
    {
#ifndef Q_OS_UNIX
        QSKIP("POSIX folders only");
#endif
        QTemporaryDir temp;
        const QString at = temp.path() + QLatin1Char('/');
        const QFileDevice::Permissions owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        for (const char *dir : {"private", "open"})
            QVERIFY(QDir().mkdir(at + dir));
        QVERIFY(QFile::setPermissions(at + "private", owner));
        QVERIFY(QFile::setPermissions(at + "open", owner | QFile::ReadGroup | QFile::ExeGroup));
        QVERIFY(QFile::link(at + "private", at + "link"));
        QFile file(at + "file");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.setPermissions(owner));
        QVERIFY(privateRuntimeDir(at + "private"));
        for (const char *bad : {"open", "link", "file", "missing"})
            QVERIFY2(!privateRuntimeDir(at + bad), bad);
    }

    // The real program answers without a display and ends at once.
    void helpAndVersionPrintWithoutADisplay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        const QList<QPair<QString, QString>> table
            = {{"--version", "Zentyr 2.1.0.23\n"}, {"--help", startText({"--help"})}};
        for (const auto &[arg, want] : table) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(qEnvironmentVariable("ZENTYR_BINARY"), {arg});
            QVERIFY(p.waitForFinished(30000)); // a Wine process takes seconds to start
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
            // Windows writes its text lines with CR LF.
            QCOMPARE(
                QString::fromLocal8Bit(p.readAllStandardOutput()).replace(QLatin1String("\r\n"), QLatin1String("\n")),
                want);
            QCOMPARE(p.readAllStandardError(), QByteArray());
        }
        QVERIFY(startText({"--help"}).contains("hideruler") && startText({"--help"}).contains("man zentyr"));
    }

    void rulerShownFromTheTrayBeforeTheFirstTickStaysOne()
    {
        frmRightClick &tray = loadForm<frmRightClick>();
        tray.mnuShutDown->findChild<QAction *>("mnuShowRuler")->trigger();
        frmRuler *first = loadedForm<frmRuler>();
        tray.Timer1_Timer();
        QCOMPARE(loadedForm<frmRuler>(), first);
        QVERIFY(!tray.Timer1.isActive());
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"

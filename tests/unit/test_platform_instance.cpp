// SPDX-License-Identifier: MIT
// The previous-instance test: the display key and the lock folder at their seams, then real
// processes: this executable started again in child mode takes the answer and prints it, then
// waits to be killed.
#include "platform/system/services.h"
#include "platform/system/unix/instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentyr;

static int childMain()
{
    std::printf("%s\n", services().previousInstance() ? "previous" : "first");
    std::fflush(stdout);
    ::pause();
    return 0;
}

class InstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;
    // The lock folder is the user's, not the test's: display numbers of this run only.
    const int m_base = 20000 + static_cast<int>(::getpid() % 20000) * 4;
    QString disp(int i) const { return QStringLiteral(":%1").arg(m_base + i); }

    QProcess *startChild(const QString &display, const QString &runtime = QString())
    {
        auto *p = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZENTYR_INSTANCE_CHILD", "1");
        env.insert("DISPLAY", display);
        env.remove("WAYLAND_DISPLAY");
        env.insert("XDG_RUNTIME_DIR", runtime.isEmpty() ? m_runtime.path() : runtime);
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(), {});
        return p;
    }

    static QString answer(QProcess *p)
    {
        if (!p->waitForReadyRead(10000))
            return "no answer";
        return QString::fromLatin1(p->readLine()).trimmed();
    }

    static void killHard(QProcess *p)
    {
        ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
        p->waitForFinished(5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        ::chmod(QFile::encodeName(m_runtime.path()).constData(), 0700);
    }

    void cleanupTestCase()
    {
        const QString folder = zentyr::chooseLockFolder(lockFolderCandidates());
        for (int i = 0; i < 4; ++i)
            QFile::remove(QStringLiteral("%1/zentyr-x11-%2.lock").arg(folder).arg(m_base + i));
    }

    void displayKey_data()
    {
        QTest::addColumn<QString>("x11");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("key");
        QTest::newRow(":0") << ":0"
                            << ""
                            << "x11-0";
        QTest::newRow(":0.0") << ":0.0"
                              << ""
                              << "x11-0";
        QTest::newRow(":0.1 is the same display") << ":0.1"
                                                  << ""
                                                  << "x11-0";
        QTest::newRow("unix:0") << "unix:0"
                                << ""
                                << "x11-0";
        QTest::newRow("unix:0.0") << "unix:0.0"
                                  << ""
                                  << "x11-0";
        QTest::newRow("unix/:0") << "unix/:0"
                                 << ""
                                 << "x11-0";
        QTest::newRow(":12") << ":12"
                             << ""
                             << "x11-12";
        QTest::newRow("otherhost:0") << "otherhost:0"
                                     << ""
                                     << "x11-0-otherhost";
        QTest::newRow("otherhost:0.0") << "otherhost:0.0"
                                       << ""
                                       << "x11-0-otherhost";
        QTest::newRow("localhost is tcp") << "localhost:10.0"
                                          << ""
                                          << "x11-10-localhost";
        QTest::newRow("not a number") << "../x"
                                      << ""
                                      << "x11-.._x";
        QTest::newRow("wayland wins") << ":0"
                                      << "/run/user/7/wayland-0"
                                      << "wayland-_run_user_7_wayland-0";
        QTest::newRow("neither") << ""
                                 << ""
                                 << "offscreen";
    }
    void displayKey()
    {
        QFETCH(QString, x11);
        QFETCH(QString, wayland);
        QFETCH(QString, key);
        QCOMPARE(zentyr::displayKey(x11, wayland, "offscreen"), key);
    }

    // One Wayland socket named relative to the runtime folder through a symlink, or by its
    // absolute path without a runtime folder, gives one lock.
    void waylandSocketIsResolved()
    {
        QTemporaryDir dir;
        QFile socket(dir.filePath("wayland-0"));
        QVERIFY(socket.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(dir.filePath("wayland-0"), dir.filePath("alias")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        qputenv("WAYLAND_DISPLAY", "alias");
        const QString viaAlias = currentDisplayKey();
        QVERIFY(viaAlias.startsWith("wayland-"));
        qputenv("WAYLAND_DISPLAY", QFile::encodeName(dir.filePath("wayland-0")));
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(currentDisplayKey(), viaAlias);
        qunsetenv("WAYLAND_DISPLAY");
        QVERIFY(currentDisplayKey() != viaAlias);
    }

    // The first folder of ours that nobody else can enter; the others are passed over.
    void chooseLockFolder()
    {
        QTemporaryDir root;
        const QString good = root.filePath("good"), open = root.filePath("open"), link = root.filePath("link"),
                      foreign = root.filePath("foreign"), missing = root.filePath("missing"),
                      made = root.filePath("cache/zentyr");
        QVERIFY(QDir().mkdir(good) && QDir().mkdir(open) && QDir().mkdir(foreign));
        ::chmod(QFile::encodeName(good).constData(), 0700);
        ::chmod(QFile::encodeName(open).constData(), 0755);
        ::chmod(QFile::encodeName(foreign).constData(), 0700);
        QVERIFY(QFile::link(good, link));
        const bool asRoot = ::getuid() == 0;
        if (asRoot)
            QCOMPARE(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);

        using C = LockFolderCandidate;
        QCOMPARE(zentyr::chooseLockFolder({C{open}, C{link}, C{missing}, C{good}}), good);
        QCOMPARE(zentyr::chooseLockFolder({C{good, true}, C{open}}), good);
        // Not created unless allowed; created private when allowed.
        QCOMPARE(zentyr::chooseLockFolder({C{missing}, C{made, true}}), made);
        QVERIFY(!QFileInfo::exists(missing));
        struct stat st { };
        QCOMPARE(::lstat(QFile::encodeName(made).constData(), &st), 0);
        QCOMPARE(static_cast<int>(st.st_mode & 0777), 0700);
        QCOMPARE(zentyr::chooseLockFolder({C{open, true}, C{link, true}, C{"relative", true}}), QString());
        if (asRoot) // another user's folder
            QCOMPARE(zentyr::chooseLockFolder({C{foreign, true}, C{good}}), good);
        else { // a read-only one of ours
            ::chmod(QFile::encodeName(foreign).constData(), 0500);
            QCOMPARE(zentyr::chooseLockFolder({C{foreign, true}, C{good}}), good);
        }
    }

    // Without a usable folder the guard lets the program run and says why.
    void noLockMeansRunning()
    {
        QString why;
        QCOMPARE(takeInstanceLock(QString(), "x11-0", &why), InstanceLock::Unguarded);
        QVERIFY(!why.isEmpty());
        QCOMPARE(takeInstanceLock(m_runtime.filePath("gone"), "x11-0", &why), InstanceLock::Unguarded);
        QVERIFY2(why.contains("gone"), qPrintable(why));
    }

    void secondCopySeesTheFirst_andAKilledCopyNeverBlocks()
    {
        QProcess *first = startChild(disp(0));
        QCOMPARE(answer(first), QString("first"));
        QProcess *second = startChild(disp(0));
        QCOMPARE(answer(second), QString("previous"));
        killHard(second);

        // A copy that was killed leaves no stale lock behind.
        killHard(first);
        QProcess *third = startChild(disp(0));
        QCOMPARE(answer(third), QString("first"));
        killHard(third);
    }

    void anotherDesktopSessionIsIndependent()
    {
        QProcess *a = startChild(disp(0));
        QCOMPARE(answer(a), QString("first"));
        QProcess *b = startChild(disp(1));
        QCOMPARE(answer(b), QString("first"));
        killHard(a);
        killHard(b);
    }

    void folderOthersCanWriteIsNotTrusted()
    {
        QTemporaryDir open;
        ::chmod(QFile::encodeName(open.path()).constData(), 0777);
        // Another user could plant or hold a lock there: the program must look elsewhere.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open.path()));
        qputenv("DISPLAY", disp(2).toLatin1());
        const QString folder = zentyr::chooseLockFolder(lockFolderCandidates());
        QVERIFY2(!folder.startsWith(open.path()), qPrintable(folder));
        QVERIFY(!folder.isEmpty());
        struct stat st { };
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        QCOMPARE(static_cast<int>(st.st_mode & 0077), 0);
        QCOMPARE(st.st_uid, ::getuid());

        // Two copies with that environment still tell each other apart.
        QProcess *a = startChild(disp(2), open.path());
        QCOMPARE(answer(a), QString("first"));
        QProcess *b = startChild(disp(2), open.path());
        QCOMPARE(answer(b), QString("previous"));
        killHard(a);
        killHard(b);
    }

    void answerIsFixedForTheProcess()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qputenv("DISPLAY", disp(3).toLatin1());
        QCOMPARE(services().previousInstance(), false);
        // A copy started later does not change this copy's answer.
        QProcess *later = startChild(disp(3));
        QCOMPARE(answer(later), QString("previous"));
        QCOMPARE(services().previousInstance(), false);
        killHard(later);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("ZENTYR_INSTANCE_CHILD"))
        return childMain();
    QCoreApplication app(argc, argv);
    InstanceTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_platform_instance.moc"

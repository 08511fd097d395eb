// The previous-instance test with real processes: this executable started again
// in child mode takes the answer and prints it, then waits to be killed.
#include "platform/system/instance.h"

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
    std::printf("%s\n", previousInstanceRunning() ? "previous" : "first");
    std::fflush(stdout);
    ::pause();
    return 0;
}

class InstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;

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

    void secondCopySeesTheFirst_andAKilledCopyNeverBlocks()
    {
        QProcess *first = startChild(":77");
        QCOMPARE(answer(first), QString("first"));
        QProcess *second = startChild(":77");
        QCOMPARE(answer(second), QString("previous"));
        killHard(second);

        // A copy that was killed leaves no stale lock behind.
        killHard(first);
        QProcess *third = startChild(":77");
        QCOMPARE(answer(third), QString("first"));
        killHard(third);
    }

    void anotherDesktopSessionIsIndependent()
    {
        QProcess *a = startChild(":77");
        QCOMPARE(answer(a), QString("first"));
        QProcess *b = startChild(":78");
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
        qputenv("DISPLAY", ":79");
        const QString path = instanceLockPath();
        QVERIFY2(!path.startsWith(open.path()), qPrintable(path));
        QVERIFY(!path.isEmpty());
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(QFileInfo(path).path()).constData(), &st), 0);
        QCOMPARE(static_cast<int>(st.st_mode & 0077), 0);
        QCOMPARE(st.st_uid, ::getuid());

        // Two copies with that environment still tell each other apart.
        QProcess *a = startChild(":79", open.path());
        QCOMPARE(answer(a), QString("first"));
        QProcess *b = startChild(":79", open.path());
        QCOMPARE(answer(b), QString("previous"));
        killHard(a);
        killHard(b);
    }

    void answerIsFixedForTheProcess()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qputenv("DISPLAY", ":80");
        QCOMPARE(previousInstanceRunning(), false);
        // A copy started later does not change this copy's answer.
        QProcess *later = startChild(":80");
        QCOMPARE(answer(later), QString("previous"));
        QCOMPARE(previousInstanceRunning(), false);
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

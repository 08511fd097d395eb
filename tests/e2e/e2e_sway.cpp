// SPDX-License-Identifier: MIT
// Sway as users run it: headless, with swaybar's tray, Zentyr started with the session's DISPLAY and
// WAYLAND_DISPLAY, so on Sway's XWayland. Geometry from XWayland, pictures from grim, the pointer
// through a virtual pointer and keys through XWayland.
#include "desktop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace e2e;

namespace {

// A Sway session in namespaces of its own (tests/e2e/sway-session.sh), and commands run in it.
class SwaySession {
public:
    SwaySession() : m_dir(QDir::currentPath() + QStringLiteral("/sway-XXXXXX"))
    {
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther | QFile::ReadOther);
        m_session.start(QStringLiteral("unshare"),
                        {"-m", "-n", "-p", "-f", "--propagation", "private", ZENTYR_SWAY_SESSION, m_dir.path(),
                         QCoreApplication::applicationDirPath(), qEnvironmentVariable("ZENTYR_BINARY")});
        QFile env(m_dir.filePath(QStringLiteral("session.env")));
        waitUntil([&] { return env.exists(); }, 15000);
        if (env.open(QIODevice::ReadOnly))
            m_env = QString::fromLocal8Bit(env.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    ~SwaySession()
    {
        for (QProcess *p : m_started)
            p->kill(), p->waitForFinished(2000), delete p;
        // The session is the first process of a PID namespace: everything in it ends with it.
        const QString children = QStringLiteral("/proc/%1/task/%1/children").arg(m_session.processId());
        QFile list(children);
        if (list.open(QIODevice::ReadOnly))
            for (const QByteArray &pid : list.readAll().split(' '))
                if (pid.trimmed().toInt() > 0)
                    ::kill(pid.trimmed().toInt(), SIGKILL);
        m_session.kill();
        m_session.waitForFinished(5000);
    }
    bool ok() const { return m_env.size() >= 4; }
    QString error() { return QString::fromLocal8Bit(m_session.readAllStandardError()); }

    QProcess *start(const QStringList &command)
    {
        auto *p = new QProcess;
        p->start(QStringLiteral("nsenter"), wrap(command));
        m_started << p;
        return p;
    }
    QByteArray run(const QStringList &command, int timeoutMs = 10000)
    {
        QProcess p;
        p.start(QStringLiteral("nsenter"), wrap(command));
        p.waitForFinished(timeoutMs);
        return p.readAllStandardOutput();
    }
    // Our viewable X window with that role, where Sway has put it; null when there is none.
    QRect windowRect(const QString &role)
    {
        for (const QByteArray &w : run({"xdotool", "search", "--onlyvisible", "--classname", "^zentyr$"}).split('\n')) {
            if (w.isEmpty() || !run({"xprop", "-id", w, "WM_WINDOW_ROLE"}).contains('"' + role.toLatin1() + '"'))
                continue;
            QMap<QByteArray, int> v;
            for (const QByteArray &line : run({"xwininfo", "-id", w}).split('\n'))
                if (const int colon = line.indexOf(':'); colon > 0)
                    v[line.left(colon).trimmed()] = line.mid(colon + 1).trimmed().toInt();
            return {v["Absolute upper-left X"], v["Absolute upper-left Y"], v["Width"], v["Height"]};
        }
        return {};
    }
    QImage screenshot()
    {
        const QString file = m_dir.filePath(QStringLiteral("shot.png"));
        QFile::remove(file);
        run({"grim", file});
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }

private:
    QStringList wrap(const QStringList &command) const
    {
        return QStringList{"-t", QString::number(m_session.processId())}
        + QStringLiteral("-m -n setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin")
              .split(' ')
            + QStringList{"HOME=" + m_dir.path() + "/home"} + m_env + command;
    }
    QTemporaryDir m_dir;
    QProcess m_session;
    QStringList m_env;
    QList<QProcess *> m_started;
};

// One virtual pointer for the whole test: lines in, "ok" out once Sway has each.
class Pointer {
public:
    explicit Pointer(SwaySession &s) : m_p(s.start({ZENTYR_WLPOINTER})) { m_ok = answered(); }
    bool ok() const { return m_ok; }
    bool send(const QByteArray &line)
    {
        m_p->write(line + '\n');
        return answered();
    }
    bool click(QPoint at, int button)
    {
        const QByteArray code = QByteArray::number(button == 1 ? 272 : 273);
        const bool sent = send("move " + QByteArray::number(at.x()) + ' ' + QByteArray::number(at.y()));
        QTest::qWait(200);
        return sent && send("press " + code) && send("release " + code);
    }

private:
    bool answered() { return m_p->waitForReadyRead(5000) && m_p->readLine().startsWith("ok"); }
    QProcess *m_p;
    bool m_ok = false;
};

const QColor desktop(0x30, 0x60, 0xa0); // the session's background

void save(const QImage &shot, const QString &name)
{
    const QString folder = qEnvironmentVariable("ZENTYR_E2E_ARTIFACTS") + QStringLiteral("/e2e_sway");
    QDir().mkpath(folder);
    shot.save(folder + '/' + name + QStringLiteral(".png"));
}

} // namespace

class SwayE2E : public QObject {
    Q_OBJECT

private slots:
    // Started as a user starts it: the standard ruler at its place, the angle ruler see-through
    // outside its triangle, and the tray menu next to swaybar's icon.
    void throughXwayland()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("sway")).isEmpty())
            QSKIP("sway is not installed (scripts/deps.sh test installs it)");
        SwaySession s;
        QVERIFY2(s.ok(), qPrintable(s.error()));
        QProcess *zentyr = s.start({qEnvironmentVariable("ZENTYR_BINARY")});
        Pointer pointer(s);
        QVERIFY(pointer.ok());

        QRect ruler;
        QVERIFY2(waitUntil([&] { return !(ruler = s.windowRect("frmRuler")).isNull(); }, 10000),
                 zentyr->readAllStandardError().constData());
        QTest::qWait(1500); // Sway centres a window some time after it maps
        ruler = s.windowRect("frmRuler");
        QCOMPARE(ruler, QRect(300, 452, 767, 73));

        // "45-Angle", the fourth item of the ruler's menu, by keys. XWayland takes keys only while
        // Sway gives it the keyboard: a left click on the ruler (which does nothing) makes sure.
        QRect angle;
        for (int attempt = 0; attempt < 3 && angle.isNull(); ++attempt) {
            QVERIFY(pointer.click(ruler.topLeft() + QPoint(30, 18), 1));
            QTest::qWait(300);
            QVERIFY(pointer.click(ruler.topLeft() + QPoint(30, 18), 2));
            QTest::qWait(800);
            s.run({"xdotool", "key", "--delay", "60", "Down", "Down", "Down", "Down", "Return"});
            if (!waitUntil([&] { return !(angle = s.windowRect("frm45Angle")).isNull(); }, 3000))
                s.run({"xdotool", "key", "Escape"});
        }
        QVERIFY(!angle.isNull());
        QTest::qWait(1500);
        angle = s.windowRect("frm45Angle");
        QCOMPARE(angle.size(), QSize(645, 483));
        QImage shot = s.screenshot();
        save(shot, "angle-ruler");
        // The triangle's right angle is at the bottom right: its top-left half is the desktop's.
        QVERIFY(colorsClose(colorAt(shot, angle.topLeft() + QPoint(100, 100)), desktop, 8));
        QVERIFY(colorsClose(colorAt(shot, angle.topLeft() + QPoint(400, 350)), QColor(0xff, 0x80, 0x00), 8));

        // The tray icon is the bar's last item, at the top right.
        QVERIFY(pointer.click(QPoint(1268, 11), 2));
        const QRect menuArea(1160, 30, 110, 80); // a menu at the pointer would be far from it
        QVERIFY2(waitUntil([&] { return countColor(shot = s.screenshot(), menuArea, desktop, 8) == 0; }, 3000),
                 "no menu next to the tray icon");
        save(shot, "tray-menu");
    }
};

QTEST_MAIN(SwayE2E)
#include "e2e_sway.moc"

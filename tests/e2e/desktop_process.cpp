// SPDX-License-Identifier: MIT
// Processes on the desktop: each in its own process group, dying with the test process, its
// output in log files; and the sweep that ends whatever is left when the desktop goes.
#include "desktop_p.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace e2e {

QString tool(const QString &name)
{
    const QString system = QStringLiteral("/usr/bin/") + name;
    if (QFileInfo(system).isExecutable())
        return system;
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? name : found;
}

bool processAlive(qint64 pid)
{
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray st = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const qsizetype close = st.lastIndexOf(')');
    return !(close > 0 && st.mid(close + 2, 1) == "Z");
}

namespace {

// Own group so the whole tree can be signalled; die with the test process.
void dieWithTest(QProcess &p)
{
    const pid_t parent = ::getpid();
    p.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
}

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace

Program::Program() : d(new Impl) { }

Program::~Program()
{
    if (d->started && d->proc.state() != QProcess::NotRunning) {
        terminate();
        if (!waitForExit(2000))
            kill();
    }
    // Members of the group that outlive the leader (daemonised children) go too.
    if (d->pid > 0)
        ::kill(-pid_t(d->pid), SIGKILL);
}

qint64 Program::pid() const { return d->pid; }

bool Program::isRunning() const
{
    if (!d->started || d->proc.state() == QProcess::NotRunning)
        return false;
    d->proc.waitForFinished(0); // reaps it if it has exited
    return d->proc.state() != QProcess::NotRunning;
}

bool Program::waitForExit(int timeoutMs)
{
    if (!d->started || d->proc.state() == QProcess::NotRunning)
        return true;
    d->proc.waitForFinished(std::max(timeoutMs, 0));
    return d->proc.state() == QProcess::NotRunning;
}

int Program::exitCode() const
{
    if (!d->started || isRunning() || d->proc.exitStatus() != QProcess::NormalExit)
        return -1;
    return d->proc.exitCode();
}

void Program::terminate()
{
    if (d->pid > 0 && isRunning()) {
        ::kill(-pid_t(d->pid), SIGTERM);
        ::kill(pid_t(d->pid), SIGTERM);
    }
}

void Program::kill()
{
    if (d->pid <= 0)
        return;
    ::kill(-pid_t(d->pid), SIGKILL);
    if (d->proc.state() != QProcess::NotRunning) {
        ::kill(pid_t(d->pid), SIGKILL);
        d->proc.waitForFinished(5000);
    }
}

QString Program::stdoutText() const { return readText(d->outPath); }

QString Program::stderrText() const
{
    QString text = readText(d->errPath);
    if (!d->started)
        text += QStringLiteral("[harness] failed to start %1: %2\n").arg(d->commandLine, d->startError);
    return text;
}

std::unique_ptr<Program> Desktop::Impl::spawn(const QString &executable, const QStringList &args,
                                              const QProcessEnvironment &env)
{
    std::unique_ptr<Program> p(new Program);
    Program::Impl &pi = *p->d;
    const QString tag
        = QStringLiteral("%1-%2").arg(++spawned, 2, 10, QLatin1Char('0')).arg(QFileInfo(executable).fileName());
    pi.outPath = logs + QLatin1Char('/') + tag + QStringLiteral(".out");
    pi.errPath = logs + QLatin1Char('/') + tag + QStringLiteral(".err");
    pi.commandLine = (QStringList{executable} + args).join(QLatin1Char(' '));
    pi.proc.setProgram(executable);
    pi.proc.setArguments(args);
    pi.proc.setProcessEnvironment(env);
    pi.proc.setWorkingDirectory(home);
    pi.proc.setStandardInputFile(QProcess::nullDevice());
    pi.proc.setStandardOutputFile(pi.outPath);
    pi.proc.setStandardErrorFile(pi.errPath);
    dieWithTest(pi.proc);
    pi.proc.start();
    pi.started = pi.proc.waitForStarted(10000);
    if (pi.started)
        pi.pid = pi.proc.processId();
    else
        pi.startError = pi.proc.errorString();
    return p;
}

void Desktop::Impl::stop(std::unique_ptr<Program> &p, int graceMs)
{
    if (!p)
        return;
    p->terminate();
    if (!p->waitForExit(graceMs))
        p->kill();
    p.reset();
}

// Anything that inherited this desktop's private runtime dir was started by it. Repeated until
// two passes find nothing: a process in the middle of fork or exec can be missed once.
void Desktop::Impl::sweepLeftovers() const
{
    if (runtime.isEmpty())
        return;
    const QByteArray needle = "XDG_RUNTIME_DIR=" + QFile::encodeName(runtime) + '\0';
    int quietPasses = 0;
    for (int pass = 0; pass < 50 && quietPasses < 2; ++pass) {
        bool found = false;
        const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &name : pids) {
            bool isPid = false;
            const pid_t pid = name.toInt(&isPid);
            if (!isPid || pid == ::getpid() || !processAlive(pid))
                continue;
            QFile env(QStringLiteral("/proc/%1/environ").arg(pid));
            if (env.open(QIODevice::ReadOnly) && env.readAll().contains(needle)) {
                ::kill(pid, SIGKILL);
                found = true;
            }
        }
        quietPasses = found ? 0 : quietPasses + 1;
        QThread::msleep(20);
    }
}

QString Desktop::Impl::tail(const Program *p, int lines)
{
    if (!p)
        return {};
    QStringList l = p->stderrText().split(QLatin1Char('\n'));
    if (l.size() > lines)
        l = l.mid(l.size() - lines);
    return l.join(QLatin1Char('\n'));
}

Program &Desktop::startProgram(const QStringList &args, const Env &extraEnv)
{
    QString binary = qEnvironmentVariable("ZENTYR_BINARY");
    if (binary.isEmpty())
        binary = QStringLiteral("zentyr-binary-not-set(ZENTYR_BINARY)");
    return startProcess(binary, args, extraEnv);
}

Program &Desktop::startProcess(const QString &executable, const QStringList &args, const Env &extraEnv)
{
    QProcessEnvironment env = d->baseEnv;
    for (auto it = extraEnv.cbegin(); it != extraEnv.cend(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    d->programs.push_back(d->spawn(executable, args, env));
    return *d->programs.back();
}

RunResult Desktop::run(const QString &command, const QStringList &args, int timeoutMs) const
{
    RunResult r;
    QProcess p;
    p.setProgram(command.contains(QLatin1Char('/')) ? command : tool(command));
    p.setArguments(args);
    p.setProcessEnvironment(d->baseEnv);
    p.setWorkingDirectory(d->home);
    p.setStandardInputFile(QProcess::nullDevice());
    dieWithTest(p);
    p.start();
    r.started = p.waitForStarted(10000);
    if (!r.started) {
        r.err = p.errorString().toUtf8();
        return r;
    }
    if (!p.waitForFinished(std::max(timeoutMs, 0))) {
        r.timedOut = true;
        ::kill(-pid_t(p.processId()), SIGKILL);
        p.kill();
        p.waitForFinished(5000);
    }
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    if (!r.timedOut && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    return r;
}

WindowId Desktop::startProgramAndRuler(QRect *placed)
{
    startProgram();
    const WindowId ruler = waitForWindow(QStringLiteral("frmRuler"), 10000);
    // A window manager may report 0,0 until it has placed the window.
    if (ruler)
        waitUntil(
            [&] {
                *placed = waitForStableGeometry(ruler, 300, 3000);
                return placed->topLeft() != QPoint(0, 0);
            },
            5000);
    return ruler;
}

} // namespace e2e

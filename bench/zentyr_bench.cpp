// SPDX-License-Identifier: MIT
// The benchmark run: the real program and the baseline, side by side on one virtual desktop
// (Xvfb 1280x800 at 96 dpi, openbox, trayer). Prints raw figures, then a summary with the goals.
// Start-up is compared with one bare window; memory with every window open is compared with
// bare windows of the same sizes and a tray icon. Both again, for comparison, with bare windows
// that each draw a line of text.
// Start-up and timer moments come from the trace lines (ZENTYR_TRACE=1) of both programs, and
// also from this launcher's monotonic clock at process start.
// Usage: zentyr_bench [runs]   (default 7; medians over the runs)
//        zentyr_bench ab runs programA programB
//                               start-up only: the two builds started in turn, the order swapped each
//                               round, so that the load on the machine falls on both alike
#include "desktop.h"
#include "proc.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace e2e;

namespace {

QString envOr(const char *name, const char *fallback)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? QString::fromLocal8Bit(fallback) : v;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Moment {
    double sinceStart = -1; // the program's own reading
    double monotonic = -1;
};

// "<prefix><event> at N ms (monotonic M)" in text, or nothing yet.
bool findMoment(const QString &text, const QString &event, Moment *m)
{
    const QRegularExpression re(QRegularExpression::escape(event)
                                + QStringLiteral(" at (-?[0-9.]+) ms \\(monotonic ([0-9.]+)\\)"));
    const QRegularExpressionMatch match = re.match(text);
    if (!match.hasMatch())
        return false;
    m->sinceStart = match.captured(1).toDouble();
    m->monotonic = match.captured(2).toDouble();
    return true;
}

bool waitMoment(Program &p, const QString &event, Moment *m, int timeoutMs)
{
    return waitUntil([&] { return findMoment(p.stderrText(), event, m); }, timeoutMs, 5);
}

qint64 hwmKb(qint64 pid) { return bench::processField(pid, "VmHWM"); }

struct Idle {
    qint64 voluntary = 0, involuntary = 0;
    QStringList busyThreads;
};

// Context switches of the whole process (all threads) over seconds of no input.
Idle idleSwitches(qint64 pid, int seconds)
{
    const auto before = bench::threadSwitches(pid);
    QThread::sleep(seconds);
    const auto after = bench::threadSwitches(pid);
    Idle r;
    for (const auto &[tid, a] : after) {
        qint64 v0 = 0, i0 = 0;
        for (const auto &[tid0, b] : before) {
            if (tid0 == tid) {
                v0 = b.voluntary;
                i0 = b.involuntary;
            }
        }
        const qint64 dv = a.voluntary - v0, di = a.involuntary - i0;
        r.voluntary += dv;
        r.involuntary += di;
        if (dv + di > 0)
            r.busyThreads
                << QStringLiteral("%1[%2]: %3 voluntary + %4 involuntary").arg(a.name).arg(tid).arg(dv).arg(di);
    }
    return r;
}

// A point inside `target` that none of `others` covers, away from the frame.
QPoint freePoint(const QRect &target, const QList<QRect> &others)
{
    for (int y = target.bottom() - 12; y > target.top() + 8; y -= 6) {
        for (int x = target.left() + 12; x < target.right() - 8; x += 6) {
            const QPoint p(x, y);
            if (std::none_of(others.begin(), others.end(), [&](const QRect &r) { return r.contains(p); }))
                return p;
        }
    }
    return {};
}

bool chooseFromMenu(Desktop &d, QPoint at, Menu menu, const char *caption)
{
    if (!d.clickAt(at, 3) || !d.waitForPopupMenu(5000))
        return false;
    return d.chooseMenuItem(menu, QString::fromLatin1(caption));
}

using Mappings = QList<QPair<QString, qint64>>;

struct Figures {
    std::vector<double> basePaint, basePaintLauncher, baseHwm;
    std::vector<double> splashPaint, splashPaintLauncher, splashHwm, trayAt, rulerAt, trayAtLauncher, rulerAtLauncher;
    std::vector<double> bareHwm;
    // The same baselines, each window drawing a line of text.
    std::vector<double> textPaintLauncher, textBareHwm;
    qint64 hwmAll = 0;
    Idle idleAll, idleHidden;
};

bool fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "bench: %s: %s\n", what, qPrintable(detail));
    return false;
}

const Env withText{{QStringLiteral("ZENTYR_BASELINE_TEXT"), QStringLiteral("1")}};

// The one-window baseline, to its first paint; then the same with a line of text.
bool baselineRun(Desktop &d, const QString &baseline, int run, Figures &f)
{
    const double t1 = bench::clockMs(CLOCK_MONOTONIC);
    Program &t = d.startProcess(baseline, {}, withText);
    Moment textPaint;
    if (!t.waitForExit(10000) || !findMoment(t.stderrText(), QStringLiteral("first paint"), &textPaint))
        return fail("the baseline with text failed", t.stderrText());
    f.textPaintLauncher.push_back(textPaint.monotonic - t1);
    std::printf("run %d baseline with text: first paint (launcher) %.1f ms\n", run, textPaint.monotonic - t1);
    const double t0 = bench::clockMs(CLOCK_MONOTONIC);
    Program &b = d.startProcess(baseline);
    if (!b.waitForExit(10000) || b.exitCode() != 0)
        return fail("the baseline failed", b.stderrText());
    Moment m;
    const QString out = b.stdoutText();
    if (!findMoment(b.stderrText(), QStringLiteral("first paint"), &m))
        return fail("the baseline traced no paint", b.stderrText());
    const QRegularExpressionMatch hwm = QRegularExpression(QStringLiteral("VmHWM ([0-9]+) kB")).match(out);
    f.basePaint.push_back(m.sinceStart);
    f.basePaintLauncher.push_back(m.monotonic - t0);
    f.baseHwm.push_back(hwm.captured(1).toDouble());
    std::printf("run %d baseline: first paint %.0f ms (launcher %.1f ms), %s", run, m.sinceStart, m.monotonic - t0,
                qPrintable(out.mid(out.indexOf(QStringLiteral("VmHWM")))));
    return true;
}

// The program, to its standard ruler; left running. Null if it did not get there.
Program *programRun(Desktop &d, int run, Figures &f, const QString &binary)
{
    const double t0 = bench::clockMs(CLOCK_MONOTONIC);
    Program &p = d.startProcess(binary, {}, {{QStringLiteral("ZENTYR_TRACE"), QStringLiteral("1")}});
    Moment paint, tray, ruler;
    if (!waitMoment(p, QStringLiteral("splash first paint"), &paint, 10000)) {
        fail("no splash paint", p.stderrText());
        return nullptr;
    }
    // The splash is up until 2 s: its peak so far.
    waitUntil([&] { return bench::clockMs(CLOCK_MONOTONIC) - t0 > 1500; }, 3000, 10);
    const qint64 hwmSplash = hwmKb(p.pid());
    if (!waitMoment(p, QStringLiteral("tray icon added"), &tray, 10000)
        || !waitMoment(p, QStringLiteral("standard ruler shown"), &ruler, 10000)) {
        fail("no tray icon or ruler", p.stderrText());
        return nullptr;
    }
    f.splashPaint.push_back(paint.sinceStart);
    f.splashPaintLauncher.push_back(paint.monotonic - t0);
    f.splashHwm.push_back(double(hwmSplash));
    f.trayAt.push_back(tray.sinceStart);
    f.rulerAt.push_back(ruler.sinceStart);
    f.trayAtLauncher.push_back(tray.monotonic - t0);
    f.rulerAtLauncher.push_back(ruler.monotonic - t0);
    std::printf("run %d zentyr: splash first paint %.0f ms (launcher %.1f ms), VmHWM with splash %lld kB, "
                "tray icon added %.0f ms (launcher %.1f), standard ruler shown %.0f ms (launcher %.1f)\n",
                run, paint.sinceStart, paint.monotonic - t0, static_cast<long long>(hwmSplash), tray.sinceStart,
                tray.monotonic - t0, ruler.sinceStart, ruler.monotonic - t0);
    std::fflush(stdout);
    return &p;
}

// Every window open, through the tray icon's menu and the standard ruler's menu.
bool openEverything(Desktop &d)
{
    const WindowId icon = d.waitForTrayIcon(10000);
    const WindowId ruler = d.waitForWindow(QStringLiteral("frmRuler"), 5000);
    if (!icon || !ruler)
        return fail("no tray icon or ruler window", d.describeWindows());
    const QRect rulerRect = d.waitForStableGeometry(ruler);
    const auto openVia = [&](QPoint at, Menu menu, const char *caption, const char *role) {
        WindowId w = 0;
        if (chooseFromMenu(d, at, menu, caption))
            w = d.waitForWindow(QString::fromLatin1(role), 5000);
        if (!w)
            return fail(role, QStringLiteral("did not open\n") + d.describeWindows());
        d.waitForStableGeometry(w);
        return true;
    };
    const auto rulerPoint = [&] {
        QList<QRect> covering;
        for (const char *role : {"frmRulerMetric", "frmVRuler", "frm45Angle", "frmSplash"})
            for (WindowId w : d.findWindows(QString::fromLatin1(role)))
                covering << d.geometry(w);
        return freePoint(rulerRect, covering);
    };
    const QPoint iconAt = d.geometry(icon).center();
    if (!openVia(iconAt, Menu::Tray, "Show Vertical Ruler", "frmVRuler")
        || !openVia(rulerPoint(), Menu::StandardRuler, "Metric Ruler", "frmRulerMetric")
        || !openVia(rulerPoint(), Menu::StandardRuler, "45-Angle", "frm45Angle")
        || !openVia(iconAt, Menu::Tray, "Help", "frmSplash")) {
        d.saveDiagnostics(QStringLiteral("bench-open"));
        return false;
    }
    d.mouseMove(4, d.screenSize().height() - 4); // nothing of ours there
    QThread::msleep(1500);
    return true;
}

// The program's five windows as shown, as the baseline takes them: sizes and stay-on-top.
QStringList shownWindows(const Desktop &d, qint64 pid)
{
    QStringList shown;
    for (const char *role : {"frmRuler", "frmRulerMetric", "frmVRuler", "frm45Angle", "frmSplash"}) {
        for (WindowId w : d.findWindows(QString::fromLatin1(role), pid)) {
            const QRect g = d.geometry(w);
            const bool above = d.netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
            shown << QStringLiteral("%1x%2%3").arg(g.width()).arg(g.height()).arg(above ? "+top" : "");
        }
    }
    return shown;
}

void printMemory(const char *what, qint64 pid)
{
    std::printf("%s: VmHWM %lld kB, VmRSS %lld kB (RssAnon %lld, RssFile %lld, RssShmem %lld kB)\n", what,
                static_cast<long long>(hwmKb(pid)), static_cast<long long>(bench::processField(pid, "VmRSS")),
                static_cast<long long>(bench::processField(pid, "RssAnon")),
                static_cast<long long>(bench::processField(pid, "RssFile")),
                static_cast<long long>(bench::processField(pid, "RssShmem")));
}

void printIdle(const char *what, const Idle &idle)
{
    std::printf("zentyr idle 10 s, %s: %lld voluntary + %lld involuntary context switches\n", what,
                static_cast<long long>(idle.voluntary), static_cast<long long>(idle.involuntary));
    for (const QString &t : idle.busyThreads)
        std::printf("  %s\n", qPrintable(t));
    std::fflush(stdout);
}

// Where the program's resident memory goes beyond the baseline's, by mapping, largest first.
void printBeyond(const Mappings &program, const Mappings &baseline)
{
    QMap<QString, qint64> beyond;
    for (const auto &[name, kb] : program)
        beyond[name] += kb;
    for (const auto &[name, kb] : baseline)
        beyond[name] -= kb;
    QList<QPair<qint64, QString>> sorted;
    for (auto it = beyond.cbegin(); it != beyond.cend(); ++it)
        sorted.append({it.value(), it.key()});
    std::sort(sorted.begin(), sorted.end(), [](const auto &x, const auto &y) { return x.first > y.first; });
    std::printf("  resident beyond the baseline, by mapping:\n");
    for (const auto &[kb, name] : sorted.mid(0, 16))
        std::printf("  %+6lld kB %s\n", static_cast<long long>(kb), qPrintable(name));
}

// The baseline with the program's windows and a tray icon, measured as the program was.
bool bareRuns(Desktop &d, const QString &baseline, const QStringList &shown, int runs, const Mappings &program,
              Figures &f)
{
    struct Variant {
        const char *what;
        Env env;
        std::vector<double> &hwm;
    };
    const Variant variants[] = {{"baseline, the same windows and a tray icon", {}, f.bareHwm},
                                {"baseline, the same windows with text and a tray icon", withText, f.textBareHwm}};
    for (int run = 1; run <= runs; ++run) {
        for (const Variant &v : variants) {
            waitUntil([&] { return d.trayIconWindows().isEmpty(); }, 5000);
            Program &b = d.startProcess(baseline, shown, v.env);
            Moment painted;
            if (!waitMoment(b, QStringLiteral("all painted"), &painted, 10000) || !d.waitForTrayIcon(10000))
                return fail(v.what,
                            QStringLiteral("windows or tray icon did not show\n") + b.stderrText()
                                + d.describeWindows());
            QThread::msleep(1500); // as long as the program had once its windows stood still
            v.hwm.push_back(double(hwmKb(b.pid())));
            std::printf("run %d ", run);
            printMemory(v.what, b.pid());
            if (run == runs)
                printBeyond(program, bench::residentByMapping(b.pid(), 1000));
            std::fflush(stdout);
            b.terminate();
            b.waitForExit(5000);
        }
    }
    return true;
}

// "hideruler": the tray icon only.
bool hiddenIdle(Desktop &d, Figures &f)
{
    Program &h = d.startProgram({QStringLiteral("hideruler")}, {{QStringLiteral("ZENTYR_TRACE"), QStringLiteral("1")}});
    Moment added;
    if (!waitMoment(h, QStringLiteral("tray icon added"), &added, 10000) || !d.waitForTrayIcon(10000))
        return fail("hideruler", QStringLiteral("no tray icon"));
    QThread::msleep(2500); // past the start-up ruler timer's one tick
    f.idleHidden = idleSwitches(h.pid(), 10);
    printIdle("hideruler", f.idleHidden);
    h.terminate();
    h.waitForExit(5000);
    return true;
}

const char *verdict(bool holds) { return holds ? "holds" : "fails"; }

void printSummary(int runs, const Figures &f)
{
    const double bp = median(f.basePaintLauncher), sp = median(f.splashPaintLauncher);
    const double bh = median(f.baseHwm) / 1024, sh = median(f.splashHwm) / 1024, ah = double(f.hwmAll) / 1024;
    const double bareAll = median(f.bareHwm) / 1024;
    const double ta = median(f.trayAtLauncher), ra = median(f.rulerAtLauncher);
    std::printf("\nsummary (medians of %d runs; times by the launcher's clock from process start)\n", runs);
    std::printf("baseline first paint %.1f ms; splash first paint %.1f ms; ratio %.2f (goal <= 1.3): %s\n", bp, sp,
                sp / bp, verdict(sp / bp <= 1.3));
    std::printf("  by /proc starttime (10 ms ticks): baseline %.0f ms, splash %.0f ms\n", median(f.basePaint),
                median(f.splashPaint));
    std::printf("peak RSS all open %.1f MiB; baseline with the same windows and a tray icon %.1f MiB; ratio %.2f "
                "(goal <= 1.05): %s\n",
                ah, bareAll, ah / bareAll, verdict(ah / bareAll <= 1.05));
    std::printf("  peak RSS with the splash %.1f MiB; one bare window %.1f MiB\n", sh, bh);
    const double tp = median(f.textPaintLauncher), tb = median(f.textBareHwm) / 1024;
    std::printf("  against bare windows that each draw a line of text: first paint %.1f ms, ratio %.2f; peak RSS "
                "%.1f MiB, ratio %.2f\n",
                tp, sp / tp, tb, ah / tb);
    std::printf("tray icon added %.1f ms (goal 2000 +- 50): %s; standard ruler shown %.1f ms (goal 3000 +- 50): %s\n",
                ta, verdict(std::abs(ta - 2000) <= 50), ra, verdict(std::abs(ra - 3000) <= 50));
    const auto within = [](const std::vector<double> &v, double goal) {
        return std::count_if(v.begin(), v.end(), [goal](double x) { return std::abs(x - goal) <= 50; });
    };
    const auto [trayMin, trayMax] = std::minmax_element(f.trayAtLauncher.begin(), f.trayAtLauncher.end());
    const auto [rulerMin, rulerMax] = std::minmax_element(f.rulerAtLauncher.begin(), f.rulerAtLauncher.end());
    std::printf("  runs within 50 ms: tray %lld of %d (%.1f to %.1f ms), ruler %lld of %d (%.1f to %.1f ms)\n",
                static_cast<long long>(within(f.trayAtLauncher, 2000)), runs, *trayMin, *trayMax,
                static_cast<long long>(within(f.rulerAtLauncher, 3000)), runs, *rulerMin, *rulerMax);
    std::printf("  by /proc starttime: tray %.0f ms, ruler %.0f ms\n", median(f.trayAt), median(f.rulerAt));
    const qint64 all = f.idleAll.voluntary + f.idleAll.involuntary;
    const qint64 hidden = f.idleHidden.voluntary + f.idleHidden.involuntary;
    std::printf("idle context switches in 10 s: all open %lld, hideruler %lld (goal 0): %s\n",
                static_cast<long long>(all), static_cast<long long>(hidden), verdict(all + hidden == 0));
}

// Two builds of the program, started in turn to their standard ruler; medians of each.
int abRuns(Desktop &d, int runs, const QStringList &binaries)
{
    std::vector<Figures> f(size_t(binaries.size()));
    for (int run = 1; run <= runs; ++run) {
        for (qsizetype k = 0; k < binaries.size(); ++k) {
            const qsizetype i = run % 2 ? k : binaries.size() - 1 - k;
            std::printf("%s ", qPrintable(binaries[i]));
            Program *p = programRun(d, run, f[size_t(i)], binaries[i]);
            if (!p)
                return 1;
            p->terminate();
            p->waitForExit(5000);
            d.waitForNoWindow(QStringLiteral("frmRuler"), 5000);
        }
    }
    std::printf("\nmedians of %d runs each, by the launcher's clock from process start\n", runs);
    for (qsizetype i = 0; i < binaries.size(); ++i) {
        const Figures &x = f[size_t(i)];
        std::printf("%s: splash first paint %.1f ms, tray icon added %.1f ms, standard ruler shown %.1f ms\n",
                    qPrintable(binaries[i]), median(x.splashPaintLauncher), median(x.trayAtLauncher),
                    median(x.rulerAtLauncher));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // this launcher shows nothing itself
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool ab = !args.isEmpty() && args.first() == QLatin1String("ab");
    if (ab && args.size() != 4) {
        std::fprintf(stderr, "usage: zentyr_bench ab runs programA programB\n");
        return 2;
    }
    const int runs = std::max(1, (ab ? args.value(1) : args.value(0, QStringLiteral("7"))).toInt());
    const QString zentyr = envOr("ZENTYR_BINARY", ZENTYR_BENCH_PROGRAM);
    const QString baseline = envOr("ZENTYR_BASELINE", ZENTYR_BENCH_BASELINE);
    const QString paintBench = envOr("ZENTYR_PAINT_BENCH", ZENTYR_BENCH_PAINT);
    qputenv("ZENTYR_BINARY", zentyr.toLocal8Bit());

    Desktop d;
    if (!d.ok()) {
        fail("no desktop", d.error());
        return 1;
    }
    std::printf("bench: desktop %s %dx%d, %d runs\n", qPrintable(d.display()), d.screenSize().width(),
                d.screenSize().height(), runs);
    if (ab)
        return abRuns(d, runs, {QFileInfo(args[2]).absoluteFilePath(), QFileInfo(args[3]).absoluteFilePath()});

    Figures f;
    Program *p = nullptr;
    for (int run = 1; run <= runs; ++run) {
        if (p) {
            p->terminate();
            p->waitForExit(5000);
        }
        if (!baselineRun(d, baseline, run, f) || !(p = programRun(d, run, f, zentyr)))
            return 1;
    }
    if (!openEverything(d))
        return 1;
    f.hwmAll = hwmKb(p->pid());
    d.saveArtifact(d.screenshot(), QStringLiteral("bench-all-open"));
    printMemory("zentyr all open", p->pid());
    const Mappings mappingsAll = bench::residentByMapping(p->pid(), 1000);
    for (const auto &[name, kb] : mappingsAll.mid(0, 12))
        std::printf("  %6lld kB %s\n", static_cast<long long>(kb), qPrintable(name));
    f.idleAll = idleSwitches(p->pid(), 10);
    printIdle("every window open", f.idleAll);
    const QStringList shown = shownWindows(d, p->pid());
    std::printf("zentyr windows: %s\n", qPrintable(shown.join(QLatin1Char(' '))));
    std::fflush(stdout);
    p->terminate();
    p->waitForExit(5000);
    d.waitForNoWindow(QStringLiteral("frmRuler"), 5000);

    if (!bareRuns(d, baseline, shown, runs, mappingsAll, f) || !hiddenIdle(d, f))
        return 1;

    // Paint figures, in process, on this desktop.
    Program &paint = d.startProcess(paintBench);
    if (!paint.waitForExit(300000) || paint.exitCode() != 0) {
        fail("paint benchmark failed", paint.stderrText());
        return 1;
    }
    std::printf("%s", qPrintable(paint.stdoutText()));
    printSummary(runs, f);
    return 0;
}

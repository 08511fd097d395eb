// SPDX-License-Identifier: MIT
// The benchmark run: the real program and the baseline, side by side on one virtual desktop
// (Xvfb 1280x800 at 96 dpi, openbox, trayer). Prints raw figures, then a summary with the goals.
// Start-up is compared with one bare window; memory with every window open is compared with
// bare windows of the same sizes and a tray icon.
// Start-up and timer moments come from the trace lines (ZENTYR_TRACE=1) of both programs, and
// also from this launcher's monotonic clock at process start.
// Usage: zentyr_bench [runs]   (default 7; medians over the runs)
#include "desktop.h"
#include "proc.h"

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

bool chooseFromMenu(Desktop &d, QPoint at, int item)
{
    if (!d.clickAt(at, 3) || !d.waitForPopupMenu(5000))
        return false;
    return d.chooseMenuItemByKeys(item);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // this launcher shows nothing itself
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QString zentyr = envOr("ZENTYR_BINARY", ZENTYR_BENCH_PROGRAM);
    const QString baseline = envOr("ZENTYR_BASELINE", ZENTYR_BENCH_BASELINE);
    const QString paintBench = envOr("ZENTYR_PAINT_BENCH", ZENTYR_BENCH_PAINT);
    qputenv("ZENTYR_BINARY", zentyr.toLocal8Bit());

    Desktop d;
    if (!d.ok()) {
        std::fprintf(stderr, "bench: no desktop: %s\n", qPrintable(d.error()));
        return 1;
    }
    std::printf("bench: desktop %s %dx%d, %d runs\n", qPrintable(d.display()), d.screenSize().width(),
                d.screenSize().height(), runs);

    std::vector<double> basePaint, basePaintLauncher, baseHwm;
    std::vector<double> splashPaint, splashPaintLauncher, splashHwm, trayAt, rulerAt, trayAtLauncher, rulerAtLauncher;
    Program *last = nullptr;
    for (int run = 1; run <= runs; ++run) {
        // The baseline.
        {
            const double t0 = bench::clockMs(CLOCK_MONOTONIC);
            Program &b = d.startProcess(baseline);
            if (!b.waitForExit(10000) || b.exitCode() != 0) {
                std::fprintf(stderr, "bench: the baseline failed: %s\n", qPrintable(b.stderrText()));
                return 1;
            }
            Moment m;
            const QString out = b.stdoutText();
            if (!findMoment(b.stderrText(), QStringLiteral("first paint"), &m)) {
                std::fprintf(stderr, "bench: the baseline traced no paint: %s\n", qPrintable(b.stderrText()));
                return 1;
            }
            const QRegularExpressionMatch hwm = QRegularExpression(QStringLiteral("VmHWM ([0-9]+) kB")).match(out);
            basePaint.push_back(m.sinceStart);
            basePaintLauncher.push_back(m.monotonic - t0);
            baseHwm.push_back(hwm.captured(1).toDouble());
            std::printf("run %d baseline: first paint %.0f ms (launcher %.1f ms), %s", run, m.sinceStart,
                        m.monotonic - t0, qPrintable(out.mid(out.indexOf(QStringLiteral("VmHWM")))));
        }
        // The program, to its standard ruler.
        {
            const double t0 = bench::clockMs(CLOCK_MONOTONIC);
            Program &p = d.startProgram({}, {{QStringLiteral("ZENTYR_TRACE"), QStringLiteral("1")}});
            Moment paint, tray, ruler;
            if (!waitMoment(p, QStringLiteral("splash first paint"), &paint, 10000)) {
                std::fprintf(stderr, "bench: no splash paint: %s\n", qPrintable(p.stderrText()));
                return 1;
            }
            // The splash is up until 2 s: its peak so far.
            waitUntil([&] { return bench::clockMs(CLOCK_MONOTONIC) - t0 > 1500; }, 3000, 10);
            const qint64 hwmSplash = hwmKb(p.pid());
            if (!waitMoment(p, QStringLiteral("tray icon added"), &tray, 10000)
                || !waitMoment(p, QStringLiteral("standard ruler shown"), &ruler, 10000)) {
                std::fprintf(stderr, "bench: no tray icon or ruler: %s\n", qPrintable(p.stderrText()));
                return 1;
            }
            splashPaint.push_back(paint.sinceStart);
            splashPaintLauncher.push_back(paint.monotonic - t0);
            splashHwm.push_back(double(hwmSplash));
            trayAt.push_back(tray.sinceStart);
            rulerAt.push_back(ruler.sinceStart);
            trayAtLauncher.push_back(tray.monotonic - t0);
            rulerAtLauncher.push_back(ruler.monotonic - t0);
            std::printf("run %d zentyr: splash first paint %.0f ms (launcher %.1f ms), VmHWM with splash %lld kB, "
                        "tray icon added %.0f ms (launcher %.1f), standard ruler shown %.0f ms (launcher %.1f)\n",
                        run, paint.sinceStart, paint.monotonic - t0, static_cast<long long>(hwmSplash), tray.sinceStart,
                        tray.monotonic - t0, ruler.sinceStart, ruler.monotonic - t0);
            std::fflush(stdout);
            if (run < runs) {
                p.terminate();
                p.waitForExit(5000);
            } else {
                last = &p;
            }
        }
    }

    // Every window open, through the tray icon's menu and the standard ruler's menu.
    Program &p = *last;
    const WindowId icon = d.waitForTrayIcon(10000);
    const WindowId ruler = d.waitForWindow(QStringLiteral("frmRuler"), 5000);
    if (!icon || !ruler) {
        std::fprintf(stderr, "bench: no tray icon or ruler window\n%s\n", qPrintable(d.describeWindows()));
        return 1;
    }
    const QRect rulerRect = d.waitForStableGeometry(ruler);
    const auto openVia = [&](QPoint at, int item, const char *role) {
        WindowId w = 0;
        if (chooseFromMenu(d, at, item))
            w = d.waitForWindow(QString::fromLatin1(role), 5000);
        if (!w)
            std::fprintf(stderr, "bench: %s did not open\n%s\n", role, qPrintable(d.describeWindows()));
        else
            d.waitForStableGeometry(w);
        return w;
    };
    const auto rulerPoint = [&] {
        QList<QRect> covering;
        for (const char *role : {"frmRulerMetric", "frmVRuler", "frm45Angle", "frmSplash"})
            for (WindowId w : d.findWindows(QString::fromLatin1(role)))
                covering << d.geometry(w);
        return freePoint(rulerRect, covering);
    };
    const QPoint iconAt = d.geometry(icon).center();
    // Tray menu: About, Help, Show Standard Ruler, Show Vertical Ruler, Exit. Ruler menu: Hide,
    // Metric, Vertical, 45-Angle, Normal Size, Display Picture, Help, About.
    if (!openVia(iconAt, 3, "frmVRuler") || !openVia(rulerPoint(), 1, "frmRulerMetric")
        || !openVia(rulerPoint(), 3, "frm45Angle") || !openVia(iconAt, 1, "frmSplash")) {
        d.saveDiagnostics(QStringLiteral("bench-open"));
        return 1;
    }
    d.mouseMove(4, d.screenSize().height() - 4); // nothing of ours there
    QThread::msleep(1500);
    const qint64 hwmAll = hwmKb(p.pid());
    const qint64 rssAll = bench::processField(p.pid(), "VmRSS");
    d.saveArtifact(d.screenshot(), QStringLiteral("bench-all-open"));
    std::printf("zentyr all open: VmHWM %lld kB, VmRSS %lld kB (RssAnon %lld, RssFile %lld, RssShmem %lld kB)\n",
                static_cast<long long>(hwmAll), static_cast<long long>(rssAll),
                static_cast<long long>(bench::processField(p.pid(), "RssAnon")),
                static_cast<long long>(bench::processField(p.pid(), "RssFile")),
                static_cast<long long>(bench::processField(p.pid(), "RssShmem")));
    const auto mappingsAll = bench::residentByMapping(p.pid(), 1000);
    for (const auto &[name, kb] : mappingsAll.mid(0, 12))
        std::printf("  %6lld kB %s\n", static_cast<long long>(kb), qPrintable(name));
    const Idle idleAll = idleSwitches(p.pid(), 10);
    std::printf("zentyr idle 10 s, every window open: %lld voluntary + %lld involuntary context switches\n",
                static_cast<long long>(idleAll.voluntary), static_cast<long long>(idleAll.involuntary));
    for (const QString &t : idleAll.busyThreads)
        std::printf("  %s\n", qPrintable(t));
    // The same windows as shown, for the baseline: sizes and stay-on-top.
    QStringList shown;
    for (const char *role : {"frmRuler", "frmRulerMetric", "frmVRuler", "frm45Angle", "frmSplash"}) {
        for (WindowId w : d.findWindows(QString::fromLatin1(role), p.pid())) {
            const QRect g = d.geometry(w);
            const bool above = d.netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
            shown << QStringLiteral("%1x%2%3").arg(g.width()).arg(g.height()).arg(above ? "+top" : "");
        }
    }
    std::printf("zentyr windows: %s\n", qPrintable(shown.join(QLatin1Char(' '))));
    std::fflush(stdout);
    p.terminate();
    p.waitForExit(5000);
    d.waitForNoWindow(QStringLiteral("frmRuler"), 5000);

    // The baseline with those windows and a tray icon.
    std::vector<double> bareHwm;
    for (int run = 1; run <= runs; ++run) {
        waitUntil([&] { return d.trayIconWindows().isEmpty(); }, 5000);
        Program &b = d.startProcess(baseline, shown);
        Moment painted;
        if (!waitMoment(b, QStringLiteral("all painted"), &painted, 10000) || !d.waitForTrayIcon(10000)) {
            std::fprintf(stderr, "bench: the baseline's windows or tray icon did not show: %s\n%s\n",
                         qPrintable(b.stderrText()), qPrintable(d.describeWindows()));
            return 1;
        }
        QThread::msleep(1500); // as long as the program had once its windows stood still
        bareHwm.push_back(double(hwmKb(b.pid())));
        std::printf("run %d baseline, the same windows and a tray icon: VmHWM %lld kB (RssAnon %lld, RssFile %lld, "
                    "RssShmem %lld kB)\n",
                    run, static_cast<long long>(bareHwm.back()),
                    static_cast<long long>(bench::processField(b.pid(), "RssAnon")),
                    static_cast<long long>(bench::processField(b.pid(), "RssFile")),
                    static_cast<long long>(bench::processField(b.pid(), "RssShmem")));
        if (run == runs) {
            // Where the program's memory goes beyond the baseline's, by mapping.
            QMap<QString, qint64> beyond;
            for (const auto &[name, kb] : mappingsAll)
                beyond[name] += kb;
            for (const auto &[name, kb] : bench::residentByMapping(b.pid(), 1000))
                beyond[name] -= kb;
            QList<QPair<qint64, QString>> sorted;
            for (auto it = beyond.cbegin(); it != beyond.cend(); ++it)
                sorted.append({it.value(), it.key()});
            std::sort(sorted.begin(), sorted.end(), [](const auto &x, const auto &y) { return x.first > y.first; });
            std::printf("  resident beyond the baseline, by mapping:\n");
            for (const auto &[kb, name] : sorted.mid(0, 16))
                std::printf("  %+6lld kB %s\n", static_cast<long long>(kb), qPrintable(name));
        }
        std::fflush(stdout);
        b.terminate();
        b.waitForExit(5000);
    }

    // "hideruler": the tray icon only.
    Program &h = d.startProgram({QStringLiteral("hideruler")}, {{QStringLiteral("ZENTYR_TRACE"), QStringLiteral("1")}});
    Moment added;
    if (!waitMoment(h, QStringLiteral("tray icon added"), &added, 10000) || !d.waitForTrayIcon(10000)) {
        std::fprintf(stderr, "bench: hideruler: no tray icon\n");
        return 1;
    }
    QThread::msleep(2500); // past the start-up ruler timer's one tick
    const Idle idleHidden = idleSwitches(h.pid(), 10);
    std::printf("zentyr idle 10 s, hideruler: %lld voluntary + %lld involuntary context switches\n",
                static_cast<long long>(idleHidden.voluntary), static_cast<long long>(idleHidden.involuntary));
    for (const QString &t : idleHidden.busyThreads)
        std::printf("  %s\n", qPrintable(t));
    std::fflush(stdout);
    h.terminate();
    h.waitForExit(5000);

    // Paint figures, in process, on this desktop.
    Program &paint = d.startProcess(paintBench);
    if (!paint.waitForExit(300000) || paint.exitCode() != 0) {
        std::fprintf(stderr, "bench: paint benchmark failed: %s\n", qPrintable(paint.stderrText()));
        return 1;
    }
    std::printf("%s", qPrintable(paint.stdoutText()));

    const double bp = median(basePaintLauncher), sp = median(splashPaintLauncher);
    const double bh = median(baseHwm) / 1024, sh = median(splashHwm) / 1024, ah = double(hwmAll) / 1024;
    const double bareAll = median(bareHwm) / 1024;
    const double ta = median(trayAtLauncher), ra = median(rulerAtLauncher);
    std::printf("\nsummary (medians of %d runs; times by the launcher's clock from process start)\n", runs);
    std::printf("baseline first paint %.1f ms; splash first paint %.1f ms; ratio %.2f (goal <= 1.3): %s\n", bp, sp,
                sp / bp, sp / bp <= 1.3 ? "holds" : "fails");
    std::printf("  by /proc starttime (10 ms ticks): baseline %.0f ms, splash %.0f ms\n", median(basePaint),
                median(splashPaint));
    std::printf("peak RSS all open %.1f MiB; baseline with the same windows and a tray icon %.1f MiB; ratio %.2f "
                "(goal <= 1.05): %s\n",
                ah, bareAll, ah / bareAll, ah / bareAll <= 1.05 ? "holds" : "fails");
    std::printf("  peak RSS with the splash %.1f MiB; one bare window %.1f MiB\n", sh, bh);
    std::printf("tray icon added %.1f ms (goal 2000 +- 50): %s; standard ruler shown %.1f ms (goal 3000 +- 50): %s\n",
                ta, std::abs(ta - 2000) <= 50 ? "holds" : "fails", ra, std::abs(ra - 3000) <= 50 ? "holds" : "fails");
    const auto within = [](const std::vector<double> &v, double goal) {
        return std::count_if(v.begin(), v.end(), [goal](double x) { return std::abs(x - goal) <= 50; });
    };
    std::printf("  runs within 50 ms: tray %lld of %d (%.1f to %.1f ms), ruler %lld of %d (%.1f to %.1f ms)\n",
                static_cast<long long>(within(trayAtLauncher, 2000)), runs,
                *std::min_element(trayAtLauncher.begin(), trayAtLauncher.end()),
                *std::max_element(trayAtLauncher.begin(), trayAtLauncher.end()),
                static_cast<long long>(within(rulerAtLauncher, 3000)), runs,
                *std::min_element(rulerAtLauncher.begin(), rulerAtLauncher.end()),
                *std::max_element(rulerAtLauncher.begin(), rulerAtLauncher.end()));
    std::printf("  by /proc starttime: tray %.0f ms, ruler %.0f ms\n", median(trayAt), median(rulerAt));
    std::printf("idle context switches in 10 s: all open %lld, hideruler %lld (goal 0): %s\n",
                static_cast<long long>(idleAll.voluntary + idleAll.involuntary),
                static_cast<long long>(idleHidden.voluntary + idleHidden.involuntary),
                idleAll.voluntary + idleAll.involuntary + idleHidden.voluntary + idleHidden.involuntary == 0 ? "holds"
                                                                                                             : "fails");
    return 0;
}

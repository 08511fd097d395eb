// SPDX-License-Identifier: MIT
// Endurance: open and hide each ruler and the information window through their menu commands,
// many times in one process, and compare the anonymous resident memory after the first 100 cycles
// with the memory after the last. Fails when a window does not open or close, when widgets are left
// behind, or (without AddressSanitizer, whose quarantine holds freed memory) when that memory grows
// by more than 2 % and 256 kB.
// Usage: zentyr_endurance [cycles]   (default $ZENTYR_ENDURANCE_CYCLES, else 10000); any Qt platform
#include "appfixture.h"
#include "fakeservices.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <QFile>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define ZENTYR_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZENTYR_ASAN 1
#endif
#endif

using namespace zentyr;

namespace {

constexpr int MemoryMark = 100;
constexpr double AllowedGrowth = 0.02;
// The allocator and the page size move anonymous memory in steps; a leak of a few kB a cycle
// still passes this within a few hundred cycles.
constexpr qint64 AllowedSlackKb = 256;

// Anonymous resident memory in kB, from the "RssAnon:" line of /proc/self/status; -1 if unknown.
// Memory a process keeps is anonymous; library and font pages come in on first use, at times
// that depend on the machine's load, and would make a whole-RSS comparison flaky.
qint64 rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Bytes the allocator has handed out and not had back: growth here is memory kept, not fragmentation.
qint64 heapInUseKb()
{
#if defined(__GLIBC__)
    const struct mallinfo2 m = mallinfo2();
    return qint64((m.uordblks + m.hblkhd) / 1024);
#else
    return -1;
#endif
}

// The window is there and on screen, and has been painted once (as an exposed window is).
template <class F> F *shown()
{
    F *f = loadedForm<F>();
    if (!f || !f->isVisible())
        return nullptr;
    // The window system's expose: at once offscreen, a round trip to the X server under xcb.
    QElapsedTimer wait;
    wait.start();
    do
        QCoreApplication::processEvents();
    while (!(f->windowHandle() && f->windowHandle()->isExposed()) && wait.elapsed() < 5000);
    f->repaint();
    // What a window system does with a new window's icon (xcb sends every size to the window
    // manager); the offscreen platform does not, so it is done here.
    const QIcon icon = f->windowIcon();
    for (const QSize &size : icon.availableSizes())
        icon.pixmap(size);
    return f;
}

// Counts paints of our top-level windows, to see that each cycle really draws them.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType() && qobject_cast<Form *>(o))
            ++paints;
        return false;
    }
};

bool fail(int cycle, const char *what)
{
    std::fprintf(stderr, "endurance: cycle %d: %s\n", cycle, what);
    return false;
}

// Chooses the entry of a menu by its caption.
void choose(QMenu *menu, const char *caption)
{
    for (QAction *a : menu->actions())
        if (a->text() == QLatin1String(caption))
            return a->trigger();
    std::fprintf(stderr, "endurance: no menu entry %s\n", caption);
}

// One cycle: each window opened by a menu command and hidden by its own.
bool cycle(int n, frmRightClick &tray)
{
    choose(tray.mnuShutDown, "Show Standard Ruler");
    frmRuler *ruler = shown<frmRuler>();
    if (!ruler)
        return fail(n, "the standard ruler did not open");

    choose(ruler->mnuFile, "Metric Ruler");
    frmRulerMetric *metric = shown<frmRulerMetric>();
    if (!metric)
        return fail(n, "the metric ruler did not open");
    choose(metric->mnuFile, "Hide Metric Ruler");
    if (loadedForm<frmRulerMetric>())
        return fail(n, "the metric ruler did not hide");

    // The vertical ruler from the standard ruler's menu and from the tray's, in turn.
    if (n % 2)
        choose(ruler->mnuFile, "Vertical Ruler");
    else
        choose(tray.mnuShutDown, "Show Vertical Ruler");
    frmVRuler *vertical = shown<frmVRuler>();
    if (!vertical)
        return fail(n, "the vertical ruler did not open");
    choose(vertical->mnuFile, "Hide Vertical Ruler");
    if (loadedForm<frmVRuler>())
        return fail(n, "the vertical ruler did not hide");

    choose(ruler->mnuFile, "45-Angle");
    frm45Angle *angle = shown<frm45Angle>();
    if (!angle)
        return fail(n, "the angle ruler did not open");
    choose(angle->mnuFile, "Hide 45Angle");
    if (loadedForm<frm45Angle>())
        return fail(n, "the angle ruler did not hide");

    if (n % 2)
        choose(ruler->mnuFile, "Help");
    else
        choose(tray.mnuShutDown, "About Zentyr");
    frmSplash *info = shown<frmSplash>();
    if (!info || !info->cmdOK->isVisible())
        return fail(n, "the information window did not open");
    info->cmdOK->click();
    if (loadedForm<frmSplash>())
        return fail(n, "the information window did not close");

    // The real Open dialog over the standard ruler, cancelled once it has listed its folder.
    QTimer::singleShot(20, [] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    if (!showOpenDialog(ruler, OpenRequest{QStringLiteral("Open"), QString::fromLatin1(frmRuler::PictureFilter), {}})
             .cancelled)
        return fail(n, "the Open dialog was not cancelled");
    choose(ruler->mnuFile, "Hide Ruler");
    if (loadedForm<frmRuler>())
        return fail(n, "the standard ruler did not hide");

    // What the event loop would do next: destroy the unloaded windows.
    test::flushDeletes();
    return true;
}

} // namespace

// The offscreen platform says on every show that it cannot raise or shape windows.
void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);
    test::FakeServices fake; // no instance lock, tray or dialogs
    int cycles = qEnvironmentVariableIntValue("ZENTYR_ENDURANCE_CYCLES");
    if (argc > 1)
        cycles = std::atoi(argv[1]);
    if (cycles <= 0)
        cycles = 10000;
    if (cycles < MemoryMark) {
        std::fprintf(stderr, "endurance: at least %d cycles\n", MemoryMark);
        return 2;
    }

    frmRightClick &tray = loadForm<frmRightClick>();
    // As at start-up: the tray's one-second timer shows the standard ruler once; let it, so that
    // it cannot reopen a ruler in the middle of a cycle.
    QElapsedTimer wait;
    wait.start();
    while (tray.Timer1.isActive() && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (tray.Timer1.isActive() || !shown<frmRuler>()) {
        std::fprintf(stderr, "endurance: the start-up timer did not show the standard ruler\n");
        return 1;
    }
    choose(loadedForm<frmRuler>()->mnuFile, "Hide Ruler");
    test::flushDeletes();

    PaintCounter counter;
    app.installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    qsizetype widgetsAfterFirst = -1;
    qint64 rssAtMark = 0, heapAtMark = 0;
    for (int n = 1; n <= cycles; ++n) {
        const int paintsBefore = counter.paints;
        if (!cycle(n, tray))
            return 1;
        // Five windows, each painted at least once.
        if (counter.paints - paintsBefore < 5) {
            std::fprintf(stderr, "endurance: cycle %d: %d window paints\n", n, counter.paints - paintsBefore);
            return 1;
        }
        const qsizetype widgets = QApplication::allWidgets().size();
        if (n == 1)
            widgetsAfterFirst = widgets;
        else if (widgets != widgetsAfterFirst) {
            std::fprintf(stderr, "endurance: cycle %d: %lld widgets alive, %lld after the first cycle\n", n,
                         static_cast<long long>(widgets), static_cast<long long>(widgetsAfterFirst));
            for (QWidget *w : QApplication::allWidgets())
                std::fprintf(stderr, "  %s \"%s\"%s\n", w->metaObject()->className(), qPrintable(w->objectName()),
                             w->isWindow() ? " (window)" : "");
            return 1;
        }
        if (n == MemoryMark) {
            rssAtMark = rssKb();
            heapAtMark = heapInUseKb();
            std::printf("endurance: RSS after %d cycles: %lld kB, heap in use %lld kB\n", n,
                        static_cast<long long>(rssAtMark), static_cast<long long>(heapAtMark));
        } else if (n % 1000 == 0) {
            std::printf("endurance: RSS after %d cycles: %lld kB, heap in use %lld kB (%.1f s)\n", n,
                        static_cast<long long>(rssKb()), static_cast<long long>(heapInUseKb()),
                        clock.elapsed() / 1000.0);
        }
        std::fflush(stdout);
    }
    const qint64 rssAtEnd = rssKb();
    const double ratio = double(rssAtEnd) / double(rssAtMark);
    std::printf("endurance: %d cycles in %.1f s on %s; RSS after %d: %lld kB, after %d: %lld kB, ratio %.4f; "
                "heap in use %lld kB then %lld kB\n",
                cycles, clock.elapsed() / 1000.0, qPrintable(QGuiApplication::platformName()), MemoryMark,
                static_cast<long long>(rssAtMark), cycles, static_cast<long long>(rssAtEnd), ratio,
                static_cast<long long>(heapAtMark), static_cast<long long>(heapInUseKb()));
#ifdef ZENTYR_ASAN
    std::printf("endurance: RSS not judged under AddressSanitizer (its quarantine keeps freed memory)\n");
#else
    if (rssAtEnd - rssAtMark > qint64(rssAtMark * AllowedGrowth) + AllowedSlackKb) {
        std::fprintf(stderr, "endurance: RSS grew by %.2f %% (at most %.0f %% and %lld kB)\n", (ratio - 1) * 100,
                     AllowedGrowth * 100, static_cast<long long>(AllowedSlackKb));
        return 1;
    }
#endif
    // The tray controller has no window for the application to hold: it goes as the program would.
    unloadAllForms();
    test::flushDeletes();
    return 0;
}

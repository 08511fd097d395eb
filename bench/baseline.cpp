// The benchmarks' baseline: a bare Qt 6 Widgets window that shows and quits after its first paint.
// Prints the time from process start to that paint and its peak RSS.
#include "proc.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

class Window : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_painted)
            return;
        m_painted = true;
        // Measured from the event loop, once the paint has been flushed to the window.
        QTimer::singleShot(0, [] {
            std::printf("baseline: first paint at %.1f ms (monotonic %.3f)\n", bench::msSinceProcessStart(),
                        bench::clockMs(CLOCK_MONOTONIC));
            std::printf("baseline: VmHWM %lld kB (now RssAnon %lld, RssFile %lld, RssShmem %lld kB)\n",
                        static_cast<long long>(bench::processField(getpid(), "VmHWM")),
                        static_cast<long long>(bench::processField(getpid(), "RssAnon")),
                        static_cast<long long>(bench::processField(getpid(), "RssFile")),
                        static_cast<long long>(bench::processField(getpid(), "RssShmem")));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Window w;
    w.resize(516, 257);
    w.show();
    return app.exec();
}

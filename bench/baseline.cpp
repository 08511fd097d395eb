// SPDX-License-Identifier: MIT
// The benchmarks' baseline: a bare Qt 6 Widgets window that shows and quits after its first paint.
// Traces that paint as the program traces its splash (standard error) and prints its peak RSS.
#include "platform/system/trace.h"
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
            zentyr::traceEvent("first paint");
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
    qputenv("ZENTYR_TRACE", "1");
    QApplication app(argc, argv);
    Window w;
    w.resize(516, 257);
    w.show();
    return app.exec();
}

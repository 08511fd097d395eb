// SPDX-License-Identifier: MIT
// The benchmarks' baseline: bare Qt 6 Widgets, painting plain colour.
//   zentyr_baseline                 one 516x257 window; quits after its first paint (start-up)
//   zentyr_baseline WxH[+top] ...   a frameless window for each size, stay-on-top with "+top", and a
//                                   tray icon; stays up until ended (memory)
// With ZENTYR_BASELINE_TEXT=1 each window also draws a line of text in the default font, so that
// the text stack (fontconfig, FreeType, HarfBuzz, a face) is loaded and used as the program's is.
// Traces "first paint", or "all painted" once every window has painted, as the program traces its
// splash (standard error), and prints its peak RSS then.
#include "platform/system/trace.h"
#include "proc.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace {

class Window : public QWidget {
public:
    explicit Window(std::function<void()> painted) : m_painted(std::move(painted)) { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0xFF, 0x80, 0x00));
        static const bool text = qEnvironmentVariableIntValue("ZENTYR_BASELINE_TEXT") != 0;
        if (text)
            p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Zentyr 1.0"));
        if (!m_painted)
            return;
        // Measured from the event loop, once the paint has been flushed to the window.
        QTimer::singleShot(0, m_painted);
        m_painted = nullptr;
    }

private:
    std::function<void()> m_painted;
};

void report(const char *event)
{
    zentyr::traceEvent(event);
    std::printf("baseline: VmHWM %lld kB (now RssAnon %lld, RssFile %lld, RssShmem %lld kB)\n",
                static_cast<long long>(bench::processField(getpid(), "VmHWM")),
                static_cast<long long>(bench::processField(getpid(), "RssAnon")),
                static_cast<long long>(bench::processField(getpid(), "RssFile")),
                static_cast<long long>(bench::processField(getpid(), "RssShmem")));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("ZENTYR_TRACE", "1");
    QApplication app(argc, argv);
    if (argc < 2) {
        Window w([] {
            report("first paint");
            QCoreApplication::quit();
        });
        w.resize(516, 257);
        w.show();
        return app.exec();
    }

    std::vector<std::unique_ptr<Window>> windows;
    int unpainted = argc - 1;
    const QRegularExpression format(QStringLiteral("^([0-9]+)x([0-9]+)(\\+top)?$"));
    for (int i = 1; i < argc; ++i) {
        const QRegularExpressionMatch m = format.match(QString::fromLatin1(argv[i]));
        if (!m.hasMatch()) {
            std::fprintf(stderr, "baseline: not WxH[+top]: %s\n", argv[i]);
            return 2;
        }
        auto w = std::make_unique<Window>([&unpainted] {
            if (--unpainted == 0)
                report("all painted");
        });
        w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint
                          | (m.captured(3).isEmpty() ? Qt::WindowFlags() : Qt::WindowStaysOnTopHint));
        w->setWindowRole(QStringLiteral("baseline"));
        w->resize(m.captured(1).toInt(), m.captured(2).toInt());
        w->show();
        windows.push_back(std::move(w));
    }
    QPixmap icon(32, 32);
    icon.fill(QColor(0xFF, 0xFF, 0x00));
    QSystemTrayIcon tray{QIcon(icon)};
    tray.show();
    return app.exec();
}

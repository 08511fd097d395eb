// SPDX-License-Identifier: MIT
// In-process paint figures: the median time of one repaint of each ruler window and of the
// information window (their pictures come from the pixmap cache after the first paint), and
// the time a step of a 1000-step resize of the standard ruler showing a user picture takes.
// Usage: zentyr_paint_bench [paints per window]   (any platform: xcb in Xvfb, offscreen)
#include "appfixture.h"
#include "fakeservices.h"
#include "app/module1.h"

#include <QElapsedTimer>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zentyr;

namespace {

bool waitExposed(QWidget *w)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (w->windowHandle() && w->windowHandle()->isExposed())
            return true;
    }
    return false;
}

double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    const size_t n = ns.size();
    const double mid = n % 2 ? double(ns[n / 2]) : (double(ns[n / 2 - 1]) + double(ns[n / 2])) / 2;
    return mid / 1e6;
}

double repaintMedian(QWidget *w, int paints)
{
    for (int i = 0; i < 5; ++i) // fills the pixmap cache
        w->repaint();
    std::vector<qint64> ns;
    ns.reserve(size_t(paints));
    QElapsedTimer t;
    for (int i = 0; i < paints; ++i) {
        t.start();
        w->repaint();
        ns.push_back(t.nsecsElapsed());
    }
    return medianMs(ns);
}

// A photograph-sized picture with gradients and detail, so scaling it is real work.
QImage userPicture()
{
    QImage img(1024, 768, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 1024, 768);
    g.setColorAt(0, QColor(30, 80, 160));
    g.setColorAt(1, QColor(240, 200, 90));
    p.fillRect(img.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 200; ++i) {
        p.setPen(QColor::fromHsv((i * 37) % 360, 200, 220));
        p.drawEllipse(QPointF((i * 97) % 1024, (i * 61) % 768), 10 + i % 40, 8 + i % 30);
    }
    return img;
}

// Chooses the entry of a menu by its caption.
void choose(QMenu *menu, const char *caption)
{
    for (QAction *a : menu->actions())
        if (a->text() == QLatin1String(caption))
            return a->trigger();
    std::fprintf(stderr, "paint: no menu entry %s\n", caption);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    test::FakeServices fake; // no instance lock, tray or dialogs: only the windows are measured
    const int paints = argc > 1 ? std::max(1, atoi(argv[1])) : 300;
    std::printf("paint: platform %s, %d paints per window\n", qPrintable(QGuiApplication::platformName()), paints);

    frmRightClick &tray = loadForm<frmRightClick>();
    choose(tray.mnuShutDown, "Show Standard Ruler");
    frmRuler *ruler = loadedForm<frmRuler>();
    choose(ruler->mnuFile, "Metric Ruler");
    choose(ruler->mnuFile, "Vertical Ruler");
    choose(ruler->mnuFile, "45-Angle");
    choose(tray.mnuShutDown, "Help");
    const QList<QPair<const char *, QWidget *>> windows = {
        {"frmRuler", ruler},
        {"frmRulerMetric", loadedForm<frmRulerMetric>()},
        {"frmVRuler", loadedForm<frmVRuler>()},
        {"frm45Angle", loadedForm<frm45Angle>()},
        {"frmSplash (information)", loadedForm<frmSplash>()},
    };
    for (const auto &[name, w] : windows) {
        if (!w || !waitExposed(w)) {
            std::fprintf(stderr, "paint: %s did not come up\n", name);
            return 1;
        }
    }
    for (const auto &[name, w] : windows)
        std::printf("paint: %s %dx%d median %.3f ms\n", name, w->width(), w->height(), repaintMedian(w, paints));

    // Resize with a picture of the user's: each step lays the window out and paints it.
    ruler->Image1->setPicture(userPicture());
    ruler->repaint();
    const int steps = 1000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < steps; ++i) {
        const int phase = i % 200; // 400 to 800 pixels and back, 4 a step
        ruler->setOuterSize({400 + 4 * (phase < 100 ? phase : 200 - phase), ruler->height()});
        ruler->repaint();
    }
    const double total = double(t.nsecsElapsed()) / 1e6;
    std::printf("paint: frmRuler resize with picture %d steps %.1f ms, %.3f ms per step\n", steps, total,
                total / steps);
    std::fflush(stdout);
    return 0;
}

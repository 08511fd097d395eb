// SPDX-License-Identifier: MIT
// The pointer readout on a real desktop: the line and label at the pointer, and its text as a screen
// reader gets it on monitors whose millimetres are set.
#include "desktop.h"

#include <QRegularExpression>
#include <QtTest>

using namespace e2e;

namespace {

bool isInk(const QColor &c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; }

// The standard ruler on a desktop with a screen reader.
struct Session {
    Desktop d;
    ScreenReader reader{d};
    WindowId ruler = 0;
    QRect g;

    explicit Session(const DesktopOptions &o, const Env &env = {}) : d(o)
    {
        Env e = reader.env();
        e.insert(env);
        ruler = d.waitForWindow("frmRuler", 10000, d.startProgram({}, e).pid());
        g = ruler ? d.waitForStableGeometry(ruler) : QRect();
    }

    // At p on window w, the readout: the count of device pixels from the zero tick seen on screen
    // (the first dark column past the frame's dark rim on a row through the ticks), and the length
    // they make in unit, or none.
    void expect(WindowId w, QPoint p, double mmPerPixel, const QString &unit)
    {
        d.mouseMove(p - QPoint(0, 200)); // off the ruler, so that its zero tick shows
        const QImage shot = d.grabWindow(w);
        int x = 0;
        while (x < shot.width() && isInk(colorAt(shot, x, shot.height() * 3 / 10)))
            ++x;
        while (x < shot.width() && !isInk(colorAt(shot, x, shot.height() * 3 / 10)))
            ++x;
        static const QRegularExpression form("^.* \\| frame \\| (-?\\d+) px(?: \u00B7 (-?\\d+\\.\\d+) (mm|in))?$",
                                             QRegularExpression::MultilineOption);
        d.mouseMove(p + QPoint(0, 3));
        d.mouseMove(p);
        QRegularExpressionMatch m;
        waitUntil([&] { return (m = form.match(reader.announced().join('\n'))).hasMatch(); }, 5000, 100);
        const int seen = p.x() - d.geometry(w).x() - x;
        QVERIFY2(qAbs(m.captured(1).toInt() - seen) <= 1, qPrintable(m.captured() + QString(" seen %1").arg(seen)));
        QCOMPARE(m.captured(3), unit);
        const double mm = m.captured(1).toInt() * mmPerPixel;
        QVERIFY(qAbs(m.captured(2).toDouble() - (unit == "mm" ? mm : mm / 25.4)) <= (unit == "mm" ? 0.05 : 0.005));
    }
};

} // namespace

class ReadoutE2E : public QObject {
    Q_OBJECT

private slots:
    // The line crosses the ruler at the pointer with its label beside it; both go when the pointer leaves.
    void lineAndLabelAtThePointer()
    {
        Desktop d;
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.error() + d.describeWindows()));
        const QRect line(333, 4, 1, g.height() - 8), beside(334, 0, 80, g.height());
        const QColor white(255, 255, 255), labelBack(0xFF, 0xFF, 0xE1);
        QVERIFY(d.mouseMove(g.topLeft() + QPoint(line.x(), 30)));
        QImage shot;
        QVERIFY(waitUntil([&] { return countColor(shot = d.grabWindow(ruler), line, white) >= 5; }, 3000));
        d.saveArtifact(shot, "readout");
        QVERIFY(countColor(shot, line, Qt::black) >= 5 && countColor(shot, beside, labelBack) > 100);
        d.mouseMove(g.topLeft() + QPoint(line.x(), -150));
        QVERIFY(waitUntil(
            [&] {
                shot = d.grabWindow(ruler);
                return countColor(shot, shot.rect(), labelBack) + countColor(shot, line, white) == 0;
            },
            3000));
    }

    // Two monitors of different sizes: inches on the standard ruler from the first monitor's size, then
    // the second's once the ruler is dragged there; millimetres on the metric ruler, which opens on the first.
    void trueLengthOnEachMonitor()
    {
        DesktopOptions o;
        o.screen = QSize(2560, 800);
        o.monitors = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)};
        o.monitorMillimetres = {QSize(400, 250), QSize(250, 156)}; // 81 and 130 dpi
        Session s(o);
        QVERIFY2(s.ruler && s.reader.ok(), qPrintable(s.d.error() + s.d.describeWindows()));
        s.expect(s.ruler, s.g.topLeft() + QPoint(420, 25), 400.0 / 1280, "in");
        QVERIFY(s.d.drag(s.g.topLeft() + QPoint(10, 20), s.g.topLeft() + QPoint(1290, 20), 1, 20, 40));
        QVERIFY(waitUntil([&] { return s.d.waitForStableGeometry(s.ruler).left() >= 1280; }, 5000));
        const QRect g = s.d.geometry(s.ruler);
        s.expect(s.ruler, g.topLeft() + QPoint(420, 25), 250.0 / 1280, "in");
        QVERIFY(s.d.chooseFromMenuAt(g.topLeft() + QPoint(200, 25), Menu::StandardRuler, "Metric Ruler"));
        const WindowId metric = s.d.waitForWindow("frmRulerMetric", 5000);
        QVERIFY(metric);
        s.expect(metric, s.d.waitForStableGeometry(metric, 400).topLeft() + QPoint(300, 20), 400.0 / 1280, "mm");
    }

    // At twice the scale the count is of device pixels: those seen on screen from the zero tick.
    void deviceCountAtTwiceTheScale()
    {
        DesktopOptions o;
        o.screen = QSize(2560, 1600);
        o.monitors = {QRect(0, 0, 2560, 1600)};
        o.monitorMillimetres = {QSize(600, 375)}; // 108 dpi
        Session s(o, {{"QT_SCALE_FACTOR", "2"}});
        QVERIFY2(s.ruler && s.reader.ok(), qPrintable(s.d.error() + s.d.describeWindows()));
        s.expect(s.ruler, s.g.topLeft() + QPoint(500, 50), 600.0 / 2560, "in");
    }

    // A monitor that reports no size gives the pixels alone.
    void noSizeGivesPixelsAlone()
    {
        DesktopOptions o;
        o.monitors = {QRect(0, 0, 1280, 800)};
        o.monitorMillimetres = {QSize(0, 0)};
        Session s(o);
        QVERIFY2(s.ruler && s.reader.ok(), qPrintable(s.d.error() + s.d.describeWindows()));
        s.expect(s.ruler, s.g.topLeft() + QPoint(250, 25), 0, "");
    }
};

QTEST_MAIN(ReadoutE2E)
#include "e2e_readout.moc"

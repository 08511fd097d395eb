// SPDX-License-Identifier: MIT
// The pointer readout on a real desktop: the line and label at the pointer, and the distance
// from the zero tick read through the accessibility bus, on monitors of known size.
#include "desktop.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace e2e;

namespace {

// A private session bus with the accessibility bus on it, as a desktop session has them.
struct AccessBus {
    QString session;
    QString a11y;
};

QString reply(Desktop &d, const QString &bus, const QStringList &args)
{
    return QString::fromUtf8(d.run("dbus-send", QStringList{"--bus=" + bus, "--print-reply"} + args).out);
}

AccessBus startAccessBus(Desktop &d)
{
    AccessBus b;
    const QString path = d.homeDir() + "/bus";
    d.startProcess("/usr/bin/dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + path});
    if (!waitUntil([&] { return QFile::exists(path); }, 5000))
        return b;
    b.session = "unix:path=" + path;
    d.startProcess("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"},
                   {{"DBUS_SESSION_BUS_ADDRESS", b.session}});
    waitUntil(
        [&] {
            const QString r = reply(d, b.session, {"--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"});
            b.a11y = QRegularExpression("string \"([^\",]+)").match(r).captured(1);
            return !b.a11y.isEmpty();
        },
        5000);
    return b;
}

Env programEnv(const AccessBus &b)
{
    return {{"DBUS_SESSION_BUS_ADDRESS", b.session}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}};
}

// The readout: the description of whichever top-level window of a registered program has one.
QString readoutText(Desktop &d, const AccessBus &b)
{
    static const QRegularExpression child("string \"([^\"]+)\"\\s+object path \"([^\"]+)\"");
    const QString root = "/org/a11y/atspi/accessible/root";
    const QString children = "org.a11y.atspi.Accessible.GetChildren";
    for (const auto &app : child.globalMatch(reply(d, b.a11y, {"--dest=org.a11y.atspi.Registry", root, children}))) {
        for (const auto &w : child.globalMatch(reply(d, b.a11y, {"--dest=" + app.captured(1), root, children}))) {
            const QString r = reply(d, b.a11y,
                                    {"--dest=" + w.captured(1), w.captured(2), "org.freedesktop.DBus.Properties.Get",
                                     "string:org.a11y.atspi.Accessible", "string:Description"});
            const QString text = QRegularExpression("variant\\s+string \"([^\"]*)\"").match(r).captured(1);
            if (!text.isEmpty())
                return text;
        }
    }
    return {};
}

struct Reading {
    int pixels = 0;
    double length = -1; // none shown
    QString unit;
};

// Waits for the readout of the pointer at p (after a nudge, so that it is a move).
bool readAt(Desktop &d, const AccessBus &b, QPoint p, Reading *out, QString *text)
{
    d.mouseMove(p + QPoint(0, 3));
    d.mouseMove(p);
    static const QRegularExpression form("^(-?\\d+) px(?: \u00B7 (-?\\d+\\.\\d+) (mm|in))?$");
    QRegularExpressionMatch m;
    const bool ok = waitUntil(
        [&] {
            *text = readoutText(d, b);
            m = form.match(*text);
            return m.hasMatch();
        },
        5000, 100);
    if (ok)
        *out = {m.captured(1).toInt(), m.captured(2).isEmpty() ? -1 : m.captured(2).toDouble(), m.captured(3)};
    return ok;
}

bool isInk(const QColor &c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; }

// The zero tick on screen: the leftmost dark column inside the frame on a row through the ticks.
int zeroTickColumn(Desktop &d, WindowId ruler)
{
    const QRect g = d.geometry(ruler);
    const QImage shot = d.grabWindow(ruler);
    const int y = shot.height() * 3 / 10;
    int x = 0;
    while (x < shot.width() && isInk(colorAt(shot, x, y))) // the frame's dark rim, if any
        ++x;
    for (; x < shot.width(); ++x)
        if (isInk(colorAt(shot, x, y)))
            return g.left() + x;
    return -1;
}

// Sets a monitor's size in millimetres (0 for none), keeping its place.
bool setMillimetres(Desktop &d, int index, const QRect &m, int mmW, int mmH, bool primary)
{
    const QString geometry
        = QString("%1/%2x%3/%4+%5+%6").arg(m.width()).arg(mmW).arg(m.height()).arg(mmH).arg(m.x()).arg(m.y());
    d.run("xrandr", {"--delmonitor", QString("M%1").arg(index)}); // the server will not replace it
    return d.run("xrandr", {"--setmonitor", QString("M%1").arg(index), geometry, primary ? "screen" : "none"}).ok();
}

} // namespace

class ReadoutE2E : public QObject {
    Q_OBJECT

    // At p on the ruler: the count from the zero tick in device pixels and the length the
    // monitor's millimetres per pixel give, to the shown precision.
    static void expectReading(Desktop &d, const AccessBus &b, WindowId ruler, QPoint p, double mmPerPixel,
                              const QString &unit)
    {
        d.mouseMove(p + QPoint(0, -200)); // off the ruler: its zero tick unhidden
        const int zero = zeroTickColumn(d, ruler);
        QVERIFY(zero > 0);
        Reading r;
        QString text;
        QVERIFY2(readAt(d, b, p, &r, &text), qPrintable(text));
        qInfo("read \"%s\" %d px from the zero tick seen", qPrintable(text), p.x() - zero);
        QVERIFY2(qAbs(r.pixels - (p.x() - zero)) <= 1, qPrintable(QString("%1 at %2").arg(text).arg(p.x() - zero)));
        QCOMPARE(r.unit, unit);
        const double mm = r.pixels * mmPerPixel;
        const double expected = unit == "mm" ? mm : mm / 25.4;
        const double shownTo = unit == "mm" ? 0.05 : 0.005;
        QVERIFY2(qAbs(r.length - expected) <= shownTo + 1e-9, qPrintable(QString("%1 for %2").arg(text).arg(expected)));
    }

private slots:
    // The line crosses the ruler at the pointer's column with its label beside it; both go
    // when the pointer leaves.
    void lineAndLabelAtThePointer()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QRect g;
        const WindowId ruler = d.startProgramAndRuler(&g);
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        const QPoint p = g.topLeft() + QPoint(333, 30);
        d.mouseMove(p + QPoint(0, 4));
        d.mouseMove(p);
        const QColor labelBack(0xFF, 0xFF, 0xE1), white(255, 255, 255), black(0, 0, 0);
        const int column = p.x() - g.left();
        QImage shot;
        QVERIFY(waitUntil(
            [&] {
                shot = d.grabWindow(ruler);
                return countColor(shot, QRect(column, 4, 1, g.height() - 8), white) >= 5;
            },
            3000));
        d.saveArtifact(shot, "readout");
        QVERIFY(countColor(shot, QRect(column, 4, 1, g.height() - 8), black) >= 5);
        // The label stands just right of the line; the columns beside the line are the ruler's.
        QVERIFY(countColor(shot, QRect(column + 1, 0, 80, g.height()), labelBack) > 100);
        QCOMPARE(countColor(shot, QRect(column - 3, 4, 1, g.height() - 8), white), 0);

        d.mouseMove(g.topLeft() + QPoint(333, -150));
        QVERIFY(waitUntil(
            [&] {
                shot = d.grabWindow(ruler);
                return countColor(shot, shot.rect(), labelBack) == 0
                    && countColor(shot, QRect(column, 4, 1, g.height() - 8), white) == 0;
            },
            3000));
        d.saveArtifact(shot, "readout-gone");
    }

    // Two monitors of known, different sizes: inches on the standard ruler and millimetres on the
    // metric one from the first monitor's size, then the second's once the ruler is dragged there.
    void trueLengthOnEachMonitor()
    {
        DesktopOptions o;
        o.screen = QSize(2560, 800);
        const QRect left(0, 0, 1280, 800), right(1280, 0, 1280, 800);
        o.monitors = {left, right};
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QVERIFY(setMillimetres(d, 0, left, 400, 250, true));   // 81 dpi
        QVERIFY(setMillimetres(d, 1, right, 250, 156, false)); // 130 dpi
        const AccessBus b = startAccessBus(d);
        QVERIFY(!b.a11y.isEmpty());
        Program &prog = d.startProgram({}, programEnv(b));
        const WindowId ruler = d.waitForWindow("frmRuler", 10000, prog.pid());
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        const QRect g = d.waitForStableGeometry(ruler);
        QVERIFY(left.contains(g));

        expectReading(d, b, ruler, g.topLeft() + QPoint(420, 25), 400.0 / 1280, "in");
        if (QTest::currentTestFailed())
            return;

        QVERIFY(d.chooseFromMenuAt(g.topLeft() + QPoint(200, 25), 1)); // "Metric Ruler"
        const WindowId metric = d.waitForWindow("frmRulerMetric", 5000, prog.pid());
        QVERIFY(metric);
        const QRect m = d.waitForStableGeometry(metric, 400);
        QVERIFY(left.contains(m));
        expectReading(d, b, metric, m.topLeft() + QPoint(300, 20), 400.0 / 1280, "mm");
        if (QTest::currentTestFailed())
            return;

        // Dragged onto the denser monitor, the same ruler reads that monitor's size.
        // Taken by a place the metric ruler does not cover.
        QPoint grip = g.topLeft() + QPoint(10, 20);
        while (m.contains(grip) && grip.x() < g.right())
            grip += QPoint(20, 0);
        QVERIFY(d.drag(grip, grip + QPoint(1280, 0), 1, 20, 40));
        QRect moved;
        QVERIFY(waitUntil(
            [&] {
                moved = d.waitForStableGeometry(ruler);
                return right.contains(moved);
            },
            5000));
        expectReading(d, b, ruler, moved.topLeft() + QPoint(420, 25), 250.0 / 1280, "in");
        d.saveArtifact(d.screenshot(), "two-monitors");
    }

    // At twice the scale the count is of device pixels: 100 of them between two places are 100.
    void deviceCountAtTwiceTheScale()
    {
        DesktopOptions o;
        o.screen = QSize(2560, 1600);
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QVERIFY(setMillimetres(d, 0, QRect(QPoint(), o.screen), 600, 375, true)); // 108 dpi
        const AccessBus b = startAccessBus(d);
        QVERIFY(!b.a11y.isEmpty());
        Env env = programEnv(b);
        env.insert("QT_SCALE_FACTOR", "2");
        Program &prog = d.startProgram({}, env);
        const WindowId ruler = d.waitForWindow("frmRuler", 10000, prog.pid());
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        const QRect g = d.waitForStableGeometry(ruler);
        const QPoint p = g.topLeft() + QPoint(500, 50);
        expectReading(d, b, ruler, p, 600.0 / 2560, "in");
        Reading first, second;
        QString text;
        QVERIFY(readAt(d, b, p, &first, &text));
        QVERIFY(readAt(d, b, p + QPoint(100, 0), &second, &text));
        QCOMPARE(second.pixels - first.pixels, 100);
        d.saveArtifact(d.grabWindow(ruler), "scale-2");
    }

    // A monitor that reports no size gives the pixels alone.
    void noSizeGivesPixelsAlone()
    {
        Desktop d;
        QVERIFY2(d.ok(), qPrintable(d.error()));
        QVERIFY(setMillimetres(d, 0, QRect(QPoint(), d.screenSize()), 0, 0, true));
        const AccessBus b = startAccessBus(d);
        QVERIFY(!b.a11y.isEmpty());
        Program &prog = d.startProgram({}, programEnv(b));
        const WindowId ruler = d.waitForWindow("frmRuler", 10000, prog.pid());
        QVERIFY2(ruler, qPrintable(d.describeWindows()));
        const QRect g = d.waitForStableGeometry(ruler);
        Reading r;
        QString text;
        QVERIFY2(readAt(d, b, g.topLeft() + QPoint(250, 25), &r, &text), qPrintable(text));
        QCOMPARE(text, QString("%1 px").arg(r.pixels));
        QVERIFY(r.pixels > 200);
    }
};

QTEST_MAIN(ReadoutE2E)
#include "e2e_readout.moc"

// SPDX-License-Identifier: MIT
// The pointer readout on a real desktop: the line and label at the pointer, and its text read over
// the accessibility bus on monitors whose millimetres are set.
#include "desktop.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace e2e;

namespace {

QString busReply(const Desktop &d, const QString &bus, const QStringList &args)
{
    return QString::fromUtf8(d.run("dbus-send", QStringList{"--bus=" + bus, "--print-reply"} + args).out);
}

bool isInk(const QColor &c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; }

// The program on a desktop with an accessibility bus, each monitor given its millimetres.
struct Session {
    Desktop d;
    QString a11y;
    WindowId ruler = 0;
    QRect g; // the standard ruler

    Session(const DesktopOptions &o, const QList<QSize> &mm, Env env = {}) : d(o)
    {
        const QList<QRect> monitors = o.monitors.isEmpty() ? QList{QRect(QPoint(), o.screen)} : o.monitors;
        for (int i = 0; i < mm.size(); ++i) {
            const QRect m = monitors[i];
            const QString name = QString("M%1").arg(i), size = QString("%1/%2x%3/%4+%5+%6");
            d.run("xrandr", {"--delmonitor", name}); // the server will not replace one
            d.run("xrandr",
                  {"--setmonitor", name,
                   size.arg(m.width()).arg(mm[i].width()).arg(m.height()).arg(mm[i].height()).arg(m.x()).arg(m.y()),
                   i == o.primaryMonitor ? "screen" : "none"});
        }
        const QString session = "unix:path=" + d.homeDir() + "/bus";
        d.startProcess("/usr/bin/dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=" + session});
        waitUntil([&] { return QFile::exists(d.homeDir() + "/bus"); }, 5000);
        d.startProcess("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"},
                       {{"DBUS_SESSION_BUS_ADDRESS", session}});
        const QStringList getAddress{"--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"};
        waitUntil(
            [&] {
                a11y = QRegularExpression("string \"([^\",]+)").match(busReply(d, session, getAddress)).captured(1);
                return !a11y.isEmpty();
            },
            5000);
        env.insert("DBUS_SESSION_BUS_ADDRESS", session);
        env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        ruler = d.waitForWindow("frmRuler", 10000, d.startProgram({}, env).pid());
        g = ruler ? d.waitForStableGeometry(ruler) : QRect();
    }

    // The readout of whichever window of a registered program shows one, read as its description.
    QString readout() const
    {
        static const QRegularExpression child("string \"([^\"]+)\"\\s+object path \"([^\"]+)\"");
        const QString root = "/org/a11y/atspi/accessible/root", children = "org.a11y.atspi.Accessible.GetChildren";
        for (const auto &app : child.globalMatch(busReply(d, a11y, {"--dest=org.a11y.atspi.Registry", root, children})))
            for (const auto &w : child.globalMatch(busReply(d, a11y, {"--dest=" + app.captured(1), root, children}))) {
                const QString r
                    = busReply(d, a11y,
                               {"--dest=" + w.captured(1), w.captured(2), "org.freedesktop.DBus.Properties.Get",
                                "string:org.a11y.atspi.Accessible", "string:Description"});
                const QString text = QRegularExpression("variant\\s+string \"([^\"]+)\"").match(r).captured(1);
                if (text.endsWith(" in") || text.endsWith(" mm") || text.endsWith(" px"))
                    return text;
            }
        return {};
    }

    // The readout once the pointer moved to p: pixels, then length and unit if any.
    QRegularExpressionMatch readAt(QPoint p)
    {
        static const QRegularExpression form("^(-?\\d+) px(?: \u00B7 (-?\\d+\\.\\d+) (mm|in))?$");
        d.mouseMove(p + QPoint(0, 3));
        d.mouseMove(p);
        QRegularExpressionMatch m;
        waitUntil([&] { return (m = form.match(readout())).hasMatch(); }, 5000, 100);
        return m;
    }

    // At p on a ruler: the count of device pixels from the zero tick seen on screen (the leftmost
    // dark column inside the frame on a row through the ticks), and the length they make.
    void expect(WindowId w, QPoint p, double mmPerPixel, const QString &unit)
    {
        d.mouseMove(p - QPoint(0, 200)); // off the ruler, so that its zero tick shows
        const QImage shot = d.grabWindow(w);
        int x = 0;
        while (x < shot.width() && isInk(colorAt(shot, x, shot.height() * 3 / 10))) // a dark frame rim
            ++x;
        while (x < shot.width() && !isInk(colorAt(shot, x, shot.height() * 3 / 10)))
            ++x;
        const QRegularExpressionMatch m = readAt(p);
        qInfo("read \"%s\" %d px from the zero tick seen", qPrintable(m.captured()), p.x() - d.geometry(w).x() - x);
        QVERIFY2(qAbs(m.captured(1).toInt() - (p.x() - d.geometry(w).x() - x)) <= 1, qPrintable(m.captured()));
        QCOMPARE(m.captured(3), unit);
        const double mm = m.captured(1).toInt() * mmPerPixel;
        QVERIFY(qAbs(m.captured(2).toDouble() - (unit == "mm" ? mm : mm / 25.4)) <= (unit == "mm" ? 0.05 : 0.005));
    }
};

} // namespace

class ReadoutE2E : public QObject {
    Q_OBJECT

private slots:
    // The line crosses the ruler at the pointer's column with its label beside it; both go when the pointer leaves.
    void lineAndLabelAtThePointer()
    {
        Session s({}, {});
        QVERIFY2(s.ruler, qPrintable(s.d.describeWindows()));
        const int column = 333;
        const QRect line(column, 4, 1, s.g.height() - 8);
        const QColor white(255, 255, 255), labelBack(0xFF, 0xFF, 0xE1);
        QVERIFY(s.readAt(s.g.topLeft() + QPoint(column, 30)).hasMatch());
        QImage shot;
        QVERIFY(waitUntil([&] { return countColor(shot = s.d.grabWindow(s.ruler), line, white) >= 5; }, 3000));
        s.d.saveArtifact(shot, "readout");
        QVERIFY(countColor(shot, line, Qt::black) >= 5);
        QVERIFY(countColor(shot, QRect(column + 1, 0, 80, s.g.height()), labelBack) > 100); // beside the line
        QCOMPARE(countColor(shot, line.translated(-3, 0), white), 0);
        s.d.mouseMove(s.g.topLeft() + QPoint(column, -150));
        QVERIFY(waitUntil(
            [&] {
                shot = s.d.grabWindow(s.ruler);
                return countColor(shot, shot.rect(), labelBack) + countColor(shot, line, white) == 0;
            },
            3000));
    }

    // Two monitors of different sizes: inches on the standard ruler and millimetres on the metric
    // one from the first monitor's size, then the second's once the ruler is dragged there.
    void trueLengthOnEachMonitor()
    {
        DesktopOptions o;
        o.screen = QSize(2560, 800);
        o.monitors = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)};
        Session s(o, {QSize(400, 250), QSize(250, 156)}); // 81 and 130 dpi
        QVERIFY2(s.ruler, qPrintable(s.d.describeWindows()));
        s.expect(s.ruler, s.g.topLeft() + QPoint(420, 25), 400.0 / 1280, "in");
        QVERIFY(s.d.chooseFromMenuAt(s.g.topLeft() + QPoint(200, 25), Menu::StandardRuler, "Metric Ruler"));
        const WindowId metric = s.d.waitForWindow("frmRulerMetric", 5000);
        QVERIFY(metric);
        const QRect m = s.d.waitForStableGeometry(metric, 400);
        s.expect(metric, m.topLeft() + QPoint(300, 20), 400.0 / 1280, "mm");
        QPoint grip = s.g.topLeft() + QPoint(10, 20); // where the metric ruler does not cover it
        while (m.contains(grip))
            grip += QPoint(20, 0);
        QVERIFY(s.d.drag(grip, grip + QPoint(1280, 0), 1, 20, 40));
        QVERIFY(waitUntil([&] { return s.d.waitForStableGeometry(s.ruler).left() >= 1280; }, 5000));
        s.expect(s.ruler, s.d.geometry(s.ruler).topLeft() + QPoint(420, 25), 250.0 / 1280, "in");
    }

    // At twice the scale the count is of device pixels.
    void deviceCountAtTwiceTheScale()
    {
        DesktopOptions o;
        o.screen = QSize(2560, 1600);
        Session s(o, {QSize(600, 375)}, {{"QT_SCALE_FACTOR", "2"}}); // 108 dpi
        QVERIFY2(s.ruler, qPrintable(s.d.describeWindows()));
        s.expect(s.ruler, s.g.topLeft() + QPoint(500, 50), 600.0 / 2560, "in");
        const int at = s.readAt(s.g.topLeft() + QPoint(500, 50)).captured(1).toInt();
        QCOMPARE(s.readAt(s.g.topLeft() + QPoint(600, 50)).captured(1).toInt() - at, 100);
    }

    // A monitor that reports no size gives the pixels alone.
    void noSizeGivesPixelsAlone()
    {
        Session s({}, {QSize(0, 0)});
        QVERIFY2(s.ruler, qPrintable(s.d.describeWindows()));
        const QRegularExpressionMatch m = s.readAt(s.g.topLeft() + QPoint(250, 25));
        QVERIFY2(m.hasMatch() && m.captured(2).isEmpty() && m.captured(1).toInt() > 200, qPrintable(m.captured()));
    }
};

QTEST_MAIN(ReadoutE2E)
#include "e2e_readout.moc"

// SPDX-License-Identifier: MIT
// Screens as users have them: two monitors with the primary on the right, twice the
// scale, a Wayland compositor, and no display at all.
#include "desktop.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace e2e;

namespace {

using Geometries = QMap<QString, QRect>;

// A point on the window that none of the others covers.
QPoint freePoint(const QRect &window, const Geometries &others)
{
    for (int x = 30; x < window.width() - 10; x += 20) {
        const QPoint p = window.topLeft() + QPoint(x, 20);
        bool covered = false;
        for (const QRect &o : others)
            covered = covered || (o != window && o.contains(p));
        if (!covered)
            return p;
    }
    return window.topLeft() + QPoint(30, 20);
}

// Right-clicks the ruler where nothing covers it and picks the item by keys.
bool chooseFromMenu(Desktop &d, WindowId ruler, const Geometries &open, const QString &caption)
{
    return d.chooseFromMenuAt(freePoint(d.geometry(ruler), open), Menu::StandardRuler, caption);
}

// Starts the program and opens from the standard ruler's menu the metric, vertical and
// angle rulers and the information window; the geometry of each once settled ("splash"
// for the information window at start-up).
Geometries openEverything(Desktop &d, const Env &env, WindowId *standard)
{
    Geometries g;
    Program &p = d.startProgram({}, env);
    const WindowId splash = d.waitForWindow("frmSplash", 10000, p.pid());
    if (!splash)
        return g;
    g["splash"] = d.waitForStableGeometry(splash);
    const WindowId ruler = d.waitForWindow("frmRuler", 10000, p.pid());
    if (!ruler || !d.waitForNoWindow("frmSplash", 5000))
        return g;
    g["frmRuler"] = d.waitForStableGeometry(ruler);
    const QList<QPair<QString, QString>> items{{"Metric Ruler", "frmRulerMetric"},
                                               {"Vertical Ruler", "frmVRuler"},
                                               {"45-Angle", "frm45Angle"},
                                               {"Help", "frmSplash"}};
    for (const auto &[caption, role] : items) {
        if (!chooseFromMenu(d, ruler, g, caption))
            return g;
        const WindowId w = d.waitForWindow(role, 5000, p.pid());
        if (!w)
            return g;
        g[role] = d.waitForStableGeometry(w, 400);
    }
    *standard = ruler;
    return g;
}

bool isDark(const QColor &c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; }

// The bounding box of the pixels of one colour.
QRect boxOf(const QImage &image, const QColor &color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (colorsClose(colorAt(image, x, y), color, 6))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class ScreensE2E : public QObject {
    Q_OBJECT

private slots:
    // The primary monitor right of a larger one: everything opens where it opens on a
    // single monitor, moved with the primary; Normal Size centres on the ruler's monitor.
    void primaryRightOfAnotherMonitor()
    {
        Desktop one;
        QVERIFY2(one.ok(), qPrintable(one.error()));
        WindowId ruler1 = 0;
        const Geometries single = openEverything(one, {}, &ruler1);
        QVERIFY2(ruler1, qPrintable(one.describeWindows()));

        DesktopOptions o;
        o.screen = QSize(3200, 1080);
        const QRect left(0, 0, 1920, 1080), primary(1920, 0, 1280, 800);
        o.monitors = {left, primary};
        o.primaryMonitor = 1;
        Desktop two(o);
        QVERIFY2(two.ok(), qPrintable(two.error()));
        WindowId ruler = 0;
        const Geometries split = openEverything(two, {}, &ruler);
        two.saveArtifact(two.screenshot(), "two-monitors");
        QVERIFY2(ruler, qPrintable(two.describeWindows()));
        for (auto it = single.cbegin(); it != single.cend(); ++it) {
            QCOMPARE(split.value(it.key()), it.value().translated(primary.topLeft()));
            QVERIFY2(primary.contains(split.value(it.key()).topLeft()), qPrintable(it.key()));
        }

        // Normal Size on the primary, as on a single monitor...
        QVERIFY(chooseFromMenu(one, ruler1, single, "Normal Size"));
        QVERIFY(chooseFromMenu(two, ruler, split, "Normal Size"));
        QRect normal1, normal;
        QVERIFY(waitUntil(
            [&] {
                normal1 = one.waitForStableGeometry(ruler1);
                return normal1.width() == 800;
            },
            3000));
        QVERIFY(waitUntil(
            [&] {
                normal = two.waitForStableGeometry(ruler);
                return normal.width() == 800;
            },
            3000));
        QCOMPARE(normal, normal1.translated(primary.topLeft()));

        // ...and on the left monitor once the ruler is there.
        const QPoint grip = freePoint(normal, split);
        QVERIFY(two.drag(grip, grip - QPoint(1500, -200), 1, 20, 40));
        QVERIFY(waitUntil([&] { return left.contains(two.geometry(ruler).center()); }, 3000));
        const Geometries none;
        QVERIFY(chooseFromMenu(two, ruler, none, "Normal Size"));
        QRect there;
        QVERIFY(waitUntil(
            [&] {
                there = two.waitForStableGeometry(ruler);
                return qAbs(there.center().x() - left.center().x()) <= 1
                    && qAbs(there.center().y() - left.center().y()) <= 1;
            },
            3000));
        two.saveArtifact(two.screenshot(), "normal-size-on-left-monitor");
        QVERIFY2(
            left.contains(there),
            qPrintable(
                QStringLiteral("%1,%2 %3x%4").arg(there.x()).arg(there.y()).arg(there.width()).arg(there.height())));
    }

    // A ruler dragged onto a monitor at twice the scale keeps its size in twips, and back.
    void mixedScale()
    {
        DesktopOptions o;
        o.trayHost = false;
        o.screen = QSize(3200, 1080);
        o.monitors = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 800)};
        o.primaryMonitor = 1;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        Program &p = d.startProgram({}, {{"QT_SCREEN_SCALE_FACTORS", "M0=2;M1=1"}});
        const WindowId ruler = d.waitForWindow("frmRuler", 10000, p.pid());
        QVERIFY2(ruler, qPrintable(p.stderrText()));
        QRect g;
        QVERIFY(waitUntil(
            [&] {
                g = d.waitForStableGeometry(ruler);
                return g == QRect(2220, 452, 767, 73);
            },
            5000));
        // A short drag on the primary hides the tip; the picture then is the one to come back to.
        QVERIFY(d.drag(g.topLeft() + QPoint(400, 20), g.topLeft() + QPoint(350, -80), 1, 10, 40));
        QVERIFY(waitUntil(
            [&] {
                g = d.waitForStableGeometry(ruler);
                return g.top() < 400;
            },
            5000));
        // With the pointer off the ruler, so that its readout (label on #FFFFE1) is not in the pictures compared.
        const auto grabWithoutReadout = [&] {
            d.mouseMove(g.topLeft() + QPoint(400, -100));
            QImage shot;
            waitUntil(
                [&] {
                    shot = d.grabWindow(ruler);
                    return countColor(shot, shot.rect(), QColor(0xFF, 0xFF, 0xE1)) == 0;
                },
                3000);
            return shot;
        };
        const QImage before = grabWithoutReadout();
        QVERIFY(d.drag(g.topLeft() + QPoint(400, 20), QPoint(700, 320), 1, 30, 40));
        QVERIFY(waitUntil(
            [&] {
                g = d.waitForStableGeometry(ruler);
                return g.size() == QSize(1534, 146);
            },
            5000));
        QVERIFY(g.right() < 1920);
        const QImage doubled = d.grabWindow(ruler);
        d.saveArtifact(doubled, "ruler-on-2x-monitor");
        // The whole drawing: the band reaches past the scale's last numeral.
        QVERIFY(colorsClose(colorAt(doubled, 1140, 120), QColor(0xC0, 0x60, 0x00), 8));
        QVERIFY(d.drag(g.topLeft() + QPoint(100, 20), QPoint(2400, 320), 1, 30, 40));
        QVERIFY(waitUntil(
            [&] {
                g = d.waitForStableGeometry(ruler);
                return g.size() == QSize(767, 73);
            },
            5000));
        QVERIFY(g.left() >= 1920);
        QCOMPARE(grabWithoutReadout(), before); // frame and drawing as they were
    }

    // At twice the scale every window is twice its size and place, and the ticks twice as heavy.
    void twiceTheScale()
    {
        Desktop one;
        QVERIFY2(one.ok(), qPrintable(one.error()));
        WindowId ruler1 = 0;
        const Geometries at1 = openEverything(one, {}, &ruler1);
        QVERIFY2(ruler1, qPrintable(one.describeWindows()));

        DesktopOptions o;
        o.screen = QSize(2560, 1600);
        Desktop two(o);
        QVERIFY2(two.ok(), qPrintable(two.error()));
        WindowId ruler = 0;
        const Geometries at2 = openEverything(two, {{"QT_SCALE_FACTOR", "2"}}, &ruler);
        QVERIFY2(ruler, qPrintable(two.describeWindows()));
        two.saveArtifact(two.screenshot(), "scale-2");
        for (auto it = at1.cbegin(); it != at1.cend(); ++it)
            QCOMPARE(at2.value(it.key()), QRect(it.value().topLeft() * 2, it.value().size() * 2));

        // Along the row just under the scale's top strip every tick is a dark run two pixels wide.
        const QImage image = two.grabWindow(ruler);
        two.saveArtifact(image, "ruler-2x");
        const int y = 8 + 14; // the border, then below the shadow strip
        QList<int> runs;
        int run = 0;
        for (int x = 8; x < 8 + 1148; ++x) {
            if (isDark(colorAt(image, x, y))) {
                ++run;
            } else if (run) {
                runs << run;
                run = 0;
            }
        }
        QVERIFY2(runs.size() >= 40, qPrintable(QString::number(runs.size())));
        for (int w : runs)
            QCOMPARE(w, 2);
    }

    // Under a Wayland compositor that also offers X, the rulers are X windows; natively on
    // Wayland the angle ruler shows only its triangle.
    void wayland()
    {
        DesktopOptions o;
        o.windowManager = false;
        o.trayHost = false;
        Desktop d(o);
        QVERIFY2(d.ok(), qPrintable(d.error()));
        const QString socket = QStringLiteral("zentyr-e2e-wl");
        Program &weston = d.startProcess("weston",
                                         {"--backend=x11-backend.so", "--socket=" + socket, "--width=1280",
                                          "--height=800", "--use-pixman", "--idle-time=0"});
        const QString runtime = QDir(d.homeDir()).filePath("../runtime");
        QVERIFY2(waitUntil([&] { return QFile::exists(runtime + "/" + socket); }, 15000),
                 qPrintable(weston.stderrText()));

        // Both displays there, no platform chosen: X.
        Program &onX = d.startProgram({}, {{"WAYLAND_DISPLAY", socket}, {"QT_QPA_PLATFORM", QString()}});
        QVERIFY2(d.waitForWindow("frmRuler", 10000, onX.pid()), qPrintable(onX.stderrText()));
        onX.terminate();
        QVERIFY(onX.waitForExit(5000));

        // Wayland chosen: the angle ruler from the standard ruler's menu.
        Program &native = d.startProgram({}, {{"WAYLAND_DISPLAY", socket}, {"QT_QPA_PLATFORM", "wayland"}});
        const QColor body(0xFF, 0xA0, 0x40), orange(0xFF, 0x80, 0x00);
        QTest::qWait(3500); // the splash has gone, the standard ruler shows
        QRect ruler;        // the inch scale's body
        QVERIFY2(waitUntil(
                     [&] {
                         ruler = boxOf(d.screenshot(), body);
                         return ruler.width() > 560;
                     },
                     10000),
                 qPrintable(native.stderrText()));
        // Weston's X window follows relative pointer motion only: to its top left, then onto the ruler.
        const QPoint at = ruler.topLeft() + QPoint(200, 10);
        QVERIFY(d.run("xdotool", {"mousemove_relative", "--", "-4000", "-4000"}).ok());
        QVERIFY(d.run("xdotool", {"mousemove_relative", QString::number(at.x()), QString::number(at.y())}).ok());
        QVERIFY(d.click(3));
        QTest::qWait(700);
        d.saveArtifact(d.screenshot(), "wayland-menu");
        QVERIFY(d.key("Down Down Down Down Return"));
        QRect angle;
        QImage shot;
        QVERIFY(waitUntil(
            [&] {
                shot = d.screenshot();
                angle = boxOf(shot, orange);
                return angle.width() > 300;
            },
            5000));
        QTest::qWait(500);
        shot = d.screenshot();
        angle = boxOf(shot, orange);
        d.saveArtifact(shot, "wayland-angle-ruler");
        // The triangle (right angle at the bottom right) fills its box's lower right half only.
        QVERIFY2(angle.width() < 480 && angle.height() < 480,
                 qPrintable(QStringLiteral("%1x%2").arg(angle.width()).arg(angle.height())));
        const QRect upperLeft(angle.topLeft(), angle.size() / 3);
        QCOMPARE(countColor(shot, upperLeft, orange, 6), 0);
        QVERIFY(colorsClose(colorAt(shot, angle.bottomRight() - QPoint(20, 60)), orange, 6));
    }

    // No display to show anything on: one clear line and a plain failure, no abort.
    void noDisplay_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("none") << QString();
        QTest::newRow("no server behind DISPLAY") << QStringLiteral(":987");
    }

    void noDisplay()
    {
        QFETCH(QString, display);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(v));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("ZENTYR_BINARY"), QStringList());
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(p.readAllStandardError(),
                 QByteArray("Zentyr needs a graphical desktop: no X11 or Wayland display found\n"));
    }

    // An X server that refuses Zentyr (a wrong XAUTHORITY): its reason is said before the rest.
    void refusedDisplay()
    {
        QTemporaryDir dir;
        const QString display = QStringLiteral(":%1").arg(qEnvironmentVariableIntValue("ZENTYR_E2E_DISPLAY_BASE") + 9);
        // An Xauthority entry for any host and display: family 0xffff, empty address and number.
        QByteArray cookie("\xff\xff\0\0\0\0\0\x12MIT-MAGIC-COOKIE-1\0\x10", 28);
        cookie.append(QByteArray(16, '\x5a'));
        QFile auth(dir.filePath(QStringLiteral("auth")));
        QVERIFY(auth.open(QIODevice::WriteOnly) && auth.write(cookie) == cookie.size());
        auth.close();
        QProcess xvfb;
        xvfb.start(QStringLiteral("Xvfb"), {display, "-auth", auth.fileName(), "-nolisten", "tcp"});
        QVERIFY(waitUntil([&] { return QFile::exists("/tmp/.X11-unix/X" + display.mid(1)); }, 10000));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *v : {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(v));
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("XAUTHORITY"), dir.filePath(QStringLiteral("none")));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("ZENTYR_BINARY"), QStringList());
        QVERIFY(p.waitForFinished(10000));
        xvfb.terminate();
        xvfb.waitForFinished(5000);
        const QByteArray said = p.readAllStandardError();
        const QByteArray refused = "zentyr: the X display " + display.toLatin1() + " refused the connection: ";
        QVERIFY2(said.startsWith(refused) && said.indexOf('\n') > refused.size(), said.constData());
        QVERIFY(said.endsWith("\nZentyr needs a graphical desktop: no X11 or Wayland display found\n"));
        QCOMPARE(p.exitCode(), 1);
    }
};

QTEST_MAIN(ScreensE2E)
#include "e2e_screens.moc"

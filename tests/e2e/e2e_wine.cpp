// SPDX-License-Identifier: MIT
// The Windows build under Wine, looked at from the Win32 side through the probe: taskbar buttons,
// topmost placement, the angle ruler's region, the keys, the second copy's box, the Open dialog.
// Each case gets a fresh Wine prefix (the desktop's HOME) with a 1280x800 virtual desktop that has
// a taskbar, so stacking, activation and taskbar buttons are Wine's own, as on Windows.
#include "desktop.h"

#include <QDir>
#include <QImage>
#include <QtTest>

using namespace e2e;

namespace {

struct Win {
    QString hwnd, cls, title, region;
    qint64 pid = 0;
    int z = 0;
    QRect rect, box;
    bool topmost = false, taskbar = false, owned = false;
};

QString windowsBuild() { return qEnvironmentVariable("ZENTYR_WINDOWS_BUILD"); }

QString findIn(const QStringList &candidates)
{
    for (const QString &c : candidates)
        if (QFileInfo::exists(windowsBuild() + '/' + c))
            return windowsBuild() + '/' + c;
    return {};
}

QRect parseRect(const QString &text)
{
    const QStringList p = text.split(',');
    return p.size() == 4 ? QRect(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt()) : QRect();
}

QString unquote(const QString &v)
{
    QString out;
    for (qsizetype i = 1; i + 1 < v.size(); ++i)
        out += v[i] == '\\' ? v[++i] : v[i];
    return out;
}

} // namespace

class WineE2E : public QObject {
    Q_OBJECT

    QString m_exe, m_probe;

    // Wine's own desktop stands in for the window manager and the notification area.
    static DesktopOptions plainDesktop()
    {
        DesktopOptions o;
        o.windowManager = false;
        o.trayHost = false;
        return o;
    }

    static RunResult wine(const Desktop &d, const QStringList &args, int timeoutMs = 60000)
    {
        return d.run(QStringLiteral("wine"), args, timeoutMs);
    }

    // A fresh prefix whose programs run in one 1280x800 desktop with a taskbar, already up, so
    // that the splash's two seconds are not spent starting it.
    bool bootWine(Desktop &d) const
    {
        // The prefix the unit tests get too: Windows faces replaced, no download prompts.
        const RunResult prefix
            = d.run("bash", {qEnvironmentVariable("ZENTYR_WINE_PREFIX_SCRIPT"), d.homeDir() + "/.wine"}, 180000);
        if (!prefix.ok()
            || !wine(d, {"reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", "shell", "/f"}).ok()
            || !wine(d,
                     {"reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "shell", "/d", "1280x800", "/f"})
                    .ok()) {
            qWarning("the Wine prefix was not made: %s", prefix.err.constData());
            return false;
        }
        // Wine starts its desktop and taskbar with the first program and does not wait for them,
        // so the probe may look before the taskbar is there.
        RunResult probe;
        if (waitUntil([&] { return (probe = wine(d, {m_probe})).out.contains("Shell_TrayWnd"); }, 30000, 500))
            return true;
        qWarning("no taskbar in Wine's desktop: %s%s", probe.out.constData(), probe.err.constData());
        return false;
    }

    QList<Win> windows(const Desktop &d) const
    {
        QList<Win> out;
        const RunResult r = wine(d, {m_probe});
        for (const QString &line : QString::fromUtf8(r.out).split('\n')) {
            const QStringList fields = line.trimmed().split('\t');
            if (fields.value(0) != QLatin1String("window"))
                continue;
            Win w;
            for (const QString &f : fields.mid(1)) {
                const QString key = f.section('=', 0, 0), value = f.section('=', 1);
                if (key == "hwnd")
                    w.hwnd = value;
                else if (key == "pid")
                    w.pid = value.toLongLong();
                else if (key == "z")
                    w.z = value.toInt();
                else if (key == "class")
                    w.cls = unquote(value);
                else if (key == "title")
                    w.title = unquote(value);
                else if (key == "rect")
                    w.rect = parseRect(value);
                else if (key == "topmost")
                    w.topmost = value == "1";
                else if (key == "taskbar")
                    w.taskbar = value == "1";
                else if (key == "region")
                    w.region = value;
                else if (key == "owner")
                    w.owned = value != "0x0";
                else if (key == "box")
                    w.box = parseRect(value);
            }
            out << w;
        }
        return out;
    }

    // The first window of the program (a Qt window class) or dialog that `match` accepts.
    Win waitFor(const Desktop &d, const std::function<bool(const Win &)> &match, int timeoutMs = 15000) const
    {
        Win found;
        waitUntil(
            [&] {
                for (const Win &w : windows(d))
                    if (match(w)) {
                        found = w;
                        return true;
                    }
                return false;
            },
            timeoutMs, 300);
        return found;
    }

    static auto sized(QSize size)
    {
        return [size](const Win &w) { return w.cls.startsWith("Qt") && w.rect.size() == size; };
    }
    static auto titled(const QString &title)
    {
        return [title](const Win &w) { return w.title == title; };
    }

    QString listing(const Desktop &d) const { return QString::fromUtf8(wine(d, {m_probe}).out); }

    Program &start(Desktop &d, const QStringList &args = {}) const
    {
        return d.startProcess("wine", QStringList{m_exe} + args);
    }

    // Right-clicks a ruler and chooses the index-th item of its menu by keys.
    bool chooseFromMenu(Desktop &d, QPoint at, int index) const
    {
        d.clickAt(at, 3);
        if (waitFor(
                d, [](const Win &w) { return w.cls.contains("Popup"); }, 5000)
                .hwnd.isEmpty())
            return false;
        QStringList keys;
        for (int i = 0; i <= index; ++i)
            keys << "Down";
        return d.key(keys.join(' ') + " Return");
    }

private slots:
    void initTestCase()
    {
        m_exe = findIn({"src/zentyr.exe", "zentyr.exe"});
        m_probe = findIn({"tests/probe.exe", "probe.exe"});
        if (m_exe.isEmpty() || m_probe.isEmpty())
            QFAIL(qPrintable("zentyr.exe and probe.exe not found under ZENTYR_WINDOWS_BUILD=" + windowsBuild()));
        qunsetenv("WINEPREFIX");
        qputenv("WINEDEBUG", "-all");
    }

    // Placement, stacking, taskbar buttons and the region of every window, read through Win32.
    void windowsAsWin32SeesThem()
    {
        Desktop d(plainDesktop());
        QVERIFY2(d.ok() && bootWine(d), qPrintable(d.error()));
        start(d);
        const Win splash = waitFor(d, sized({516, 257}));
        QVERIFY2(!splash.hwnd.isEmpty(), qPrintable(listing(d)));
        QVERIFY(qAbs(splash.rect.center().x() - 640) <= 1 && qAbs(splash.rect.center().y() - 400) <= 1);
        // No button by the shell's rule, nor in Wine's taskbar, which goes by the owner alone.
        QVERIFY(!splash.taskbar && splash.owned);
        d.saveArtifact(d.screenshot(), "splash");

        const Win ruler = waitFor(d, sized({767, 73}));
        QVERIFY2(!ruler.hwnd.isEmpty(), qPrintable(listing(d)));
        QCOMPARE(ruler.rect.topLeft(), QPoint(300, 452));
        QVERIFY(ruler.topmost && !ruler.taskbar && ruler.owned);

        const QPoint onRuler = ruler.rect.topLeft() + QPoint(30, 40); // left of where the metric ruler opens
        QVERIFY(chooseFromMenu(d, onRuler, 1));                       // Metric Ruler
        const Win metric = waitFor(d, sized({800, 73}));
        QVERIFY2(metric.topmost && !metric.taskbar && metric.owned, qPrintable(listing(d)));
        QVERIFY(chooseFromMenu(d, onRuler, 2)); // Vertical Ruler
        const Win vertical = waitFor(d, sized({80, 800}));
        QVERIFY2(vertical.topmost && !vertical.taskbar && vertical.owned, qPrintable(listing(d)));
        QVERIFY(chooseFromMenu(d, onRuler, 3)); // 45-Angle
        const Win angle = waitFor(d, sized({645, 483}));
        QVERIFY2(!angle.topmost && angle.taskbar, qPrintable(listing(d)));
        // The triangle (0,430) (440,0) (440,430), from the window's outer corner.
        QCOMPARE(angle.region, QString("complex"));
        // GDI leaves out the right and bottom edges, and with them the triangle's lone corners.
        QVERIFY2(angle.box.right() + 1 == 440 && angle.box.bottom() + 1 == 430 && angle.box.left() <= 2
                     && angle.box.top() <= 1,
                 qPrintable(listing(d)));
        QCOMPARE(angle.title, QString());       // its taskbar button has an empty caption
        QVERIFY(chooseFromMenu(d, onRuler, 7)); // Help
        const Win info = waitFor(d, sized({516, 500}));
        QVERIFY2(!info.hwnd.isEmpty() && !info.topmost && !info.taskbar && info.owned, qPrintable(listing(d)));
        d.saveArtifact(d.screenshot(), "windows");
        d.run("wineserver", {"-k"});
    }

    // The keyboard: a click gives the ruler the keys, arrows (ten pixels with Shift) and Page Down
    // move it, Shift+F10 opens its menu and Escape closes it.
    void rulerByKeys()
    {
        Desktop d(plainDesktop());
        QVERIFY2(d.ok() && bootWine(d), qPrintable(d.error()));
        start(d);
        const Win ruler = waitFor(d, sized({767, 73}));
        QVERIFY2(!ruler.hwnd.isEmpty(), qPrintable(listing(d)));
        QVERIFY(d.clickAt(ruler.rect.topLeft() + QPoint(30, 40)));
        QVERIFY2(waitUntil([&] { return listing(d).contains("foreground\thwnd=" + ruler.hwnd); }, 5000),
                 qPrintable(listing(d)));
        auto movedBy = [&](QPoint by) {
            return !waitFor(
                        d, [&](const Win &w) { return w.hwnd == ruler.hwnd && w.rect == ruler.rect.translated(by); },
                        5000)
                        .hwnd.isEmpty();
        };
        QVERIFY(d.key("Right shift+Down"));
        QVERIFY2(movedBy({1, 10}), qPrintable(listing(d)));
        QVERIFY(d.key("Next"));
        QVERIFY2(movedBy({1, 10 + ruler.rect.height()}), qPrintable(listing(d)));
        auto popup = [](const Win &w) { return w.cls.contains("Popup"); };
        QVERIFY(d.key("shift+F10"));
        QVERIFY2(!waitFor(d, popup, 5000).hwnd.isEmpty(), qPrintable(listing(d)));
        d.saveArtifact(d.screenshot(), "menu-by-keys");
        QVERIFY(d.key("Escape"));
        QVERIFY2(waitUntil([&] { return waitFor(d, popup, 0).hwnd.isEmpty(); }, 5000), qPrintable(listing(d)));
        d.run("wineserver", {"-k"});
    }

    // A second copy shows its box above the first copy's topmost ruler and ends after OK; a copy
    // killed outright leaves nothing that stops the next one.
    void secondCopyAndKilledCopy()
    {
        Desktop d(plainDesktop());
        QVERIFY2(d.ok() && bootWine(d), qPrintable(d.error()));
        Program &first = start(d);
        const Win ruler = waitFor(d, sized({767, 73}));
        QVERIFY2(!ruler.hwnd.isEmpty(), qPrintable(listing(d)));

        Program &second = start(d);
        const Win box = waitFor(d, titled("Look in the system tray next to the time at the bottom of the screen."));
        QVERIFY2(!box.hwnd.isEmpty(), qPrintable(listing(d)));
        QVERIFY(box.pid != ruler.pid);
        // Above the ruler, in one look at the z-order.
        int boxZ = -1, rulerZ = -1;
        for (const Win &w : windows(d)) {
            boxZ = w.hwnd == box.hwnd ? w.z : boxZ;
            rulerZ = w.hwnd == ruler.hwnd ? w.z : rulerZ;
        }
        QVERIFY2(boxZ >= 0 && boxZ < rulerZ, qPrintable(listing(d)));
        QVERIFY(QString::fromUtf8(wine(d, {m_probe, "0"}).out).contains("foreground\thwnd=" + box.hwnd));
        d.saveArtifact(d.screenshot(), "already-running");
        // OK, at the box's bottom right. Once, in CI, the box outlived this click;
        // a second click tells a lost click from a box that OK does not close.
        const QPoint ok = box.rect.bottomRight() - QPoint(50, 25);
        QVERIFY(d.clickAt(ok));
        if (!second.waitForExit(5000)) {
            qWarning("the box outlived the first click on OK; saved %s\n%s",
                     qPrintable(d.saveDiagnostics("box-after-ok")), qPrintable(listing(d)));
            QVERIFY(d.clickAt(ok));
            QVERIFY2(second.waitForExit(10000), qPrintable(listing(d)));
        }
        QVERIFY(first.isRunning());

        // Killed with no chance to clean up: the next copy starts as a first one.
        QVERIFY(wine(d, {"taskkill", "/F", "/IM", "zentyr.exe"}).ok());
        QVERIFY(first.waitForExit(10000));
        start(d);
        QVERIFY2(!waitFor(d, sized({767, 73})).hwnd.isEmpty(), qPrintable(listing(d)));
        QVERIFY(waitFor(d, titled("Look in the system tray next to the time at the bottom of the screen."), 1000)
                    .hwnd.isEmpty());
        d.run("wineserver", {"-k"});
    }

    // "Display Picture" through the system's Open dialog: its title and file types, every picture
    // format shown, a text file refused with the picture kept, and a silent cancel.
    void displayPicture()
    {
        Desktop d(plainDesktop());
        QVERIFY2(d.ok() && bootWine(d), qPrintable(d.error()));
        const QString dir = d.homeDir() + "/pictures";
        QDir().mkpath(dir);
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::magenta};
        const char *formats[] = {"jpg", "gif", "bmp", "png"};
        for (int i = 0; i < 4; ++i) {
            QImage image(64, 16, QImage::Format_RGB32);
            image.fill(colours[i]);
            QVERIFY(i == 1 || image.save(dir + "/p." + formats[i]));
        }
        // Qt writes no GIF: one green pixel, stretched like any picture.
        QFile gif(dir + "/p.gif");
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(QByteArray::fromHex("4749463839610100010080000000ff00ffffff2c00000000010001000002024401003b"));
        gif.close();
        QFile text(dir + "/notes.txt");
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0);
        text.close();

        start(d);
        const Win ruler = waitFor(d, sized({767, 73}));
        QVERIFY2(!ruler.hwnd.isEmpty(), qPrintable(listing(d)));
        const QPoint onRuler = ruler.rect.topLeft() + QPoint(30, 40); // left of where the metric ruler opens
        const QPoint middle = ruler.rect.center();
        auto openDialog = [&]() -> Win {
            if (!chooseFromMenu(d, onRuler, 5)) // Display Picture
                return {};
            return waitFor(d, [](const Win &w) { return w.cls == "#32770" && w.title == "Open"; });
        };
        // Types the file's path into the dialog's file name box and opens it.
        auto pick = [&](const QString &file) {
            const Win dialog = openDialog();
            QRect edit;
            for (const QString &line : QString::fromUtf8(wine(d, {m_probe, "children", dialog.hwnd}).out).split('\n'))
                if (line.startsWith("child\t") && line.contains("class=\"Edit\""))
                    edit = parseRect(line.section("rect=", 1).trimmed());
            // The box holds the previous file's name: replace it.
            if (edit.isEmpty() || !d.clickAt(edit.center()) || !d.key("End shift+Home"))
                return false;
            return d.type("Z:" + QString(dir + '/' + file).replace('/', '\\')) && d.key("Return");
        };

        const Win dialog = openDialog();
        QVERIFY2(!dialog.hwnd.isEmpty(), qPrintable(listing(d)));
        QStringList types;
        for (const QString &line : QString::fromUtf8(wine(d, {m_probe, "children", dialog.hwnd}).out).split('\n'))
            if (line.startsWith("item\t"))
                types << unquote(line.section("text=", 1).trimmed());
        QVERIFY2(types.join('|').contains("JPEG Files (*.jpg)|GIF Files (*.gif)|BITMAP Files (*.bmp)|All Files (*.*)"),
                 qPrintable(types.join('|')));
        d.saveArtifact(d.screenshot(), "open-dialog");
        d.key("Escape");
        QVERIFY(waitUntil([&] { return waitFor(d, titled("Open"), 0).hwnd.isEmpty(); }, 5000));
        QVERIFY(waitFor(d, titled("Zentyr"), 1000).hwnd.isEmpty()); // cancel is silent

        for (int i = 0; i < 4; ++i) {
            QVERIFY2(pick(QString("p.") + formats[i]), formats[i]);
            QVERIFY2(waitUntil([&] { return colorsClose(colorAt(d.screenshot(), middle), colours[i], 24); }, 8000),
                     qPrintable(QString(formats[i]) + ": " + colorAt(d.screenshot(), middle).name()));
            d.saveArtifact(d.screenshot(), QString("picture-") + formats[i]);
        }
        QVERIFY(pick("notes.txt"));
        const Win error = waitFor(d, titled("Zentyr"));
        QVERIFY2(!error.hwnd.isEmpty(), qPrintable(listing(d)));
        d.saveArtifact(d.screenshot(), "picture-error");
        d.key("Return");
        QVERIFY(waitUntil([&] { return colorsClose(colorAt(d.screenshot(), middle), colours[3], 24); }, 3000));
        // The dialog's last folder stayed in memory: nothing of Qt's in the registry.
        QVERIFY(!wine(d, {"reg", "query", "HKCU\\Software\\QtProject"}).ok());
        d.run("wineserver", {"-k"});
    }
};

QTEST_MAIN(WineE2E)
#include "e2e_wine.moc"

// SPDX-License-Identifier: MIT
// The pointer readout: readings and their texts, and the readout over a picture of the user's own.
#include "appfixture.h"
#include "fakeservices.h"
#include "rulers/readout.h"

#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

class ReadoutTest : public QObject {
    Q_OBJECT

private slots:
    void readings()
    {
        const auto m = [](int w, int h, double mmW, double mmH) { return readout::Monitor{{mmW, mmH}, {w, h}}; };
        const readout::Monitor desk = m(1920, 1080, 527, 296), none; // 24 inches, 92.5 dpi; off every monitor
        const struct {
            const char *what;
            double logical, ratio;
            bool vertical, metric;
            readout::Monitor atZero, atPointer;
            const char *text;
        } rows[] = {
            {"no monitor", 212, 1, false, true, none, none, "212 px"},
            {"150 %", 100, 1.5, false, false, none, none, "150 px"},
            {"mm", 212, 1, false, true, desk, desk, "212 px · 58.2 mm"},
            {"in, vertical", 212, 1, true, false, desk, desk, "212 px · 2.29 in"},
            {"left of zero", -10, 1, false, true, desk, desk, "-10 px · -2.7 mm"},
            {"twice the scale", 100, 2, false, true, m(2560, 1600, 339, 212), m(2560, 1600, 339, 212),
             "200 px · 26.5 mm"},
            {"0 mm", 212, 1, false, true, m(1920, 1080, 0, 0), m(1920, 1080, 0, 0), "212 px"},
            {"projector, 30 dpi", 212, 1, false, true, m(1920, 1080, 1600, 900), m(1920, 1080, 1600, 900), "212 px"},
            {"813 dpi", 212, 1, false, true, m(1920, 1080, 60, 34), m(1920, 1080, 60, 34), "212 px"},
            {"aspect ratio", 212, 1, false, true, m(1920, 1080, 160, 90), m(1920, 1080, 160, 90), "212 px"},
            {"96 dpi default", 212, 1, false, true, m(1280, 800, 339, 212), m(1280, 800, 339, 212), "212 px"},
            // Qt's stand-in for a monitor without a size on a two-monitor X screen: the whole screen's.
            {"not square", 212, 1, false, true, m(1280, 800, 677, 212), m(1280, 800, 677, 212), "212 px"},
            {"two alike", 212, 1, false, true, desk, m(1920, 1080, 527, 297), "212 px · 58.2 mm"},
            {"two unlike", 212, 1, false, true, desk, m(2560, 1440, 597, 336), "212 px"},
            {"zero off every monitor", 212, 1, false, true, none, desk, "212 px"},
        };
        for (const auto &r : rows)
            QVERIFY2(readout::text(readout::measure(r.logical, r.ratio, r.atZero, r.atPointer, r.vertical), r.metric)
                         == QString::fromUtf8(r.text),
                     r.what);
    }

    // Over a picture of the user's own the line and label show at the pointer, with the readout as the
    // window's description; both go when the pointer leaves, and the ruler's own description is back.
    void overThePictureUntilThePointerLeaves()
    {
        FakeServices fake;
        frmRuler &r = showForm<frmRuler>();
        QImage grey(64, 64, QImage::Format_RGB32);
        grey.fill(QColor(128, 128, 128));
        r.Image1->setPicture(grey);
        const QString own = r.accessibleDescription();
        QVERIFY(own.startsWith("Horizontal inch ruler."));
        QTest::mouseMove(r.Image1, QPoint(300, 30));
        const auto columnHas = [&](QRgb colour) {
            const QImage shot = r.Image1->grab().toImage();
            for (int y = 0; y < shot.height(); ++y)
                if (shot.pixel(300, y) == colour)
                    return true;
            return false;
        };
        QVERIFY(r.accessibleDescription().contains(" px")); // the readout's text
        QVERIFY(columnHas(qRgb(255, 255, 255)) && columnHas(qRgb(0, 0, 0)));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(r.client(), &leave);
        QVERIFY(!columnHas(qRgb(255, 255, 255)));
        QCOMPARE(r.accessibleDescription(), own);
        resetForms();
    }
};

QTEST_MAIN(ReadoutTest)
#include "test_readout.moc"

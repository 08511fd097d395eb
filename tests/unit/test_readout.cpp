// SPDX-License-Identifier: MIT
// The pointer readout: readings and their texts, and the readout over a picture of the user's own.
#include "appfixture.h"
#include "fakeservices.h"
#include "rulers/readout.h"

#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

Q_DECLARE_METATYPE(zentyr::readout::Monitor)

namespace {

readout::Monitor monitor(int w, int h, double mmW, double mmH) { return {QSizeF(mmW, mmH), QSize(w, h)}; }

} // namespace

class ReadoutTest : public QObject {
    Q_OBJECT

private slots:
    void readings_data()
    {
        QTest::addColumn<double>("logical");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("metric");
        QTest::addColumn<QList<readout::Monitor>>("ends"); // at the zero tick, at the pointer
        QTest::addColumn<QString>("text");
        const readout::Monitor desk = monitor(1920, 1080, 527, 296); // 24 inches, 92.5 dpi
        QTest::addRow("no monitor") << 212.0 << 1.0 << false << true << QList<readout::Monitor>{} << "212 px";
        QTest::addRow("150 %") << 100.0 << 1.5 << false << false << QList<readout::Monitor>{} << "150 px";
        QTest::addRow("mm") << 212.0 << 1.0 << false << true << QList{desk, desk} << "212 px · 58.2 mm";
        QTest::addRow("in, vertical") << 212.0 << 1.0 << true << false << QList{desk, desk} << "212 px · 2.29 in";
        QTest::addRow("left of zero") << -10.0 << 1.0 << false << true << QList{desk, desk} << "-10 px · -2.7 mm";
        QTest::addRow("twice the scale") << 100.0 << 2.0 << false << true
                                         << QList{monitor(2560, 1600, 339, 212), monitor(2560, 1600, 339, 212)}
                                         << "200 px · 26.5 mm";
        const readout::Monitor none = monitor(1920, 1080, 0, 0);
        QTest::addRow("0 mm") << 212.0 << 1.0 << false << true << QList{none, none} << "212 px";
        const readout::Monitor projector = monitor(1920, 1080, 1600, 900); // 30 dpi
        QTest::addRow("projector") << 212.0 << 1.0 << false << true << QList{projector, projector} << "212 px";
        const readout::Monitor tiny = monitor(1920, 1080, 60, 34); // 813 dpi
        QTest::addRow("too dense") << 212.0 << 1.0 << false << true << QList{tiny, tiny} << "212 px";
        const readout::Monitor aspect = monitor(1920, 1080, 160, 90);
        QTest::addRow("aspect ratio") << 212.0 << 1.0 << false << true << QList{aspect, aspect} << "212 px";
        const readout::Monitor at96 = monitor(1280, 800, 339, 212);
        QTest::addRow("96 dpi default") << 212.0 << 1.0 << false << true << QList{at96, at96} << "212 px";
        // Qt's stand-in for a monitor without a size on a two-monitor X screen: the whole screen's.
        const readout::Monitor wholeScreen = monitor(1280, 800, 677, 212);
        QTest::addRow("not square") << 212.0 << 1.0 << false << true << QList{wholeScreen, wholeScreen} << "212 px";
        QTest::addRow("two alike") << 212.0 << 1.0 << false << true << QList{desk, monitor(1920, 1080, 527, 297)}
                                   << "212 px · 58.2 mm";
        QTest::addRow("two unlike") << 212.0 << 1.0 << false << true << QList{desk, monitor(2560, 1440, 597, 336)}
                                    << "212 px";
        QTest::addRow("zero off every monitor") << 212.0 << 1.0 << false << true << QList{desk} << "212 px";
    }
    void readings()
    {
        QFETCH(double, logical);
        QFETCH(double, ratio);
        QFETCH(bool, vertical);
        QFETCH(bool, metric);
        QFETCH(QList<readout::Monitor>, ends);
        QFETCH(QString, text);
        const readout::Monitor *atZero = ends.size() == 2 ? &ends[0] : nullptr;
        const readout::Monitor *atPointer = ends.isEmpty() ? nullptr : &ends.last();
        QCOMPARE(readout::text(readout::measure(logical, ratio, atZero, atPointer, vertical), metric), text);
    }

    // Over a picture of the user's own the line and label show at the pointer, and go when it leaves.
    void overThePictureUntilThePointerLeaves()
    {
        FakeServices fake;
        frmRuler &r = showForm<frmRuler>();
        QImage grey(64, 64, QImage::Format_RGB32);
        grey.fill(QColor(128, 128, 128));
        r.Image1->setPicture(grey);
        const QPoint at(300, 30);
        QTest::mouseMove(r.Image1, at);
        QVERIFY(r.pointerReadout().currentText().contains(" px"));
        QCOMPARE(r.accessibleDescription(), r.pointerReadout().currentText());
        const auto columnHas = [&](QRgb colour) {
            const QImage shot = r.Image1->grab().toImage();
            for (int y = 0; y < shot.height(); ++y)
                if (shot.pixel(at.x(), y) == colour)
                    return true;
            return false;
        };
        QVERIFY(columnHas(qRgb(255, 255, 255)) && columnHas(qRgb(0, 0, 0)));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(r.client(), &leave);
        QVERIFY(!columnHas(qRgb(255, 255, 255)) && r.accessibleDescription().isEmpty());
        resetForms();
    }
};

QTEST_MAIN(ReadoutTest)
#include "test_readout.moc"

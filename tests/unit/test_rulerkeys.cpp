// SPDX-License-Identifier: MIT
// Where a key puts a ruler: arrows, Shift, the Page steps and their stop at the monitor's edge.
#include "rulers/rulerkeys.h"

#include <QtTest>

using namespace zentyr;

class RulerKeysTest : public QObject {
    Q_OBJECT

private slots:
    void keyedGeometry_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QRect>("expected"); // null: not the ruler's key
        const QRect ruler(300, 452, 767, 73), vertical(600, 0, 80, 800);
        const int shift = Qt::ShiftModifier, keypad = Qt::KeypadModifier, ctrl = Qt::ControlModifier;
        // Monitor (0, 24) to (1280, 800); the row is: ruler, key, modifiers, window, where it ends.
        QTest::newRow("right") << ruler << int(Qt::Key_Right) << 0 << "frmRuler" << ruler.translated(1, 0);
        QTest::newRow("shift left") << ruler << int(Qt::Key_Left) << shift << "frmRuler" << ruler.translated(-10, 0);
        QTest::newRow("keypad up") << ruler << int(Qt::Key_Up) << keypad << "frm45Angle" << ruler.translated(0, -1);
        QTest::newRow("shift down") << ruler << int(Qt::Key_Down) << shift << "frmVRuler" << ruler.translated(0, 10);
        QTest::newRow("ctrl right") << ruler << int(Qt::Key_Right) << ctrl << "frmRuler" << QRect();
        QTest::newRow("arrows past the edge")
            << QRect(0, 24, 80, 800) << int(Qt::Key_Left) << 0 << "frmVRuler" << QRect(-1, 24, 80, 800);
        QTest::newRow("page down, height")
            << ruler << int(Qt::Key_PageDown) << 0 << "frmRulerMetric" << ruler.translated(0, 73);
        QTest::newRow("page up, height") << ruler << int(Qt::Key_PageUp) << 0 << "frmRuler" << ruler.translated(0, -73);
        QTest::newRow("page down stops at the bottom")
            << QRect(300, 700, 767, 73) << int(Qt::Key_PageDown) << 0 << "frmRuler" << QRect(300, 727, 767, 73);
        QTest::newRow("page up stops at the top")
            << QRect(300, 60, 767, 73) << int(Qt::Key_PageUp) << 0 << "frmRuler" << QRect(300, 24, 767, 73);
        QTest::newRow("beyond the edge, no way back")
            << QRect(300, 10, 767, 73) << int(Qt::Key_PageUp) << 0 << "frmRuler" << QRect(300, 10, 767, 73);
        QTest::newRow("vertical: page down, right")
            << vertical << int(Qt::Key_PageDown) << 0 << "frmVRuler" << vertical.translated(80, 0);
        QTest::newRow("vertical stops at the right")
            << QRect(1180, 0, 80, 800) << int(Qt::Key_PageDown) << 0 << "frmVRuler" << QRect(1200, 0, 80, 800);
        QTest::newRow("vertical: page up, left")
            << vertical << int(Qt::Key_PageUp) << 0 << "frmVRuler" << vertical.translated(-80, 0);
        QTest::newRow("angle ruler: no page") << ruler << int(Qt::Key_PageDown) << 0 << "frm45Angle" << QRect();
        QTest::newRow("shift page") << ruler << int(Qt::Key_PageDown) << shift << "frmRuler" << QRect();
        QTest::newRow("other key") << ruler << int(Qt::Key_A) << 0 << "frmRuler" << QRect();
    }

    void keyedGeometry()
    {
        QFETCH(QRect, outer);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, window);
        QFETCH(QRect, expected);
        const auto got = zentyr::keyedGeometry(outer, key, Qt::KeyboardModifiers(mods), pageStepOf(window),
                                               QRect(0, 24, 1280, 776));
        QCOMPARE(got.value_or(QRect()), expected);
    }

    void menuKeys()
    {
        QVERIFY(opensMenu(Qt::Key_Menu, Qt::NoModifier));
        QVERIFY(opensMenu(Qt::Key_F10, Qt::ShiftModifier));
        QVERIFY(!opensMenu(Qt::Key_F10, Qt::NoModifier));
        QVERIFY(!opensMenu(Qt::Key_Menu, Qt::ControlModifier));
    }
};

QTEST_GUILESS_MAIN(RulerKeysTest)
#include "test_rulerkeys.moc"

// SPDX-License-Identifier: MIT
// Where a key puts a ruler: arrows, Shift, the Page steps and their stop at the monitor's edge.
#include "rulers/rulerkeys.h"

#include <QtTest>

using namespace zentyr;

class RulerKeysTest : public QObject {
    Q_OBJECT

private slots:
    void keys()
    {
        const QRect r(300, 452, 767, 73), v(600, 0, 80, 800), none, monitor(0, 24, 1280, 776);
        const int shift = Qt::ShiftModifier, keypad = Qt::KeypadModifier;
        const PageStep down = PageStep::Down, right = PageStep::Right;
        const struct {
            QRect outer;
            int key, mods;
            PageStep page;
            QRect expected; // null: not the ruler's key
        } rows[] = {
            {r, Qt::Key_Right, 0, down, r.translated(1, 0)},
            {r, Qt::Key_Left, shift, down, r.translated(-10, 0)},
            {r, Qt::Key_Up, keypad, PageStep::None, r.translated(0, -1)},
            {r, Qt::Key_Right, Qt::ControlModifier, down, none},
            {QRect(0, 24, 80, 800), Qt::Key_Left, 0, right, QRect(-1, 24, 80, 800)}, // arrows pass the edge
            {r, Qt::Key_PageDown, 0, down, r.translated(0, 73)},
            {r, Qt::Key_PageUp, 0, down, r.translated(0, -73)},
            {QRect(300, 700, 767, 73), Qt::Key_PageDown, 0, down, QRect(300, 727, 767, 73)},
            {QRect(300, 60, 767, 73), Qt::Key_PageUp, 0, down, QRect(300, 24, 767, 73)},
            {QRect(300, 10, 767, 73), Qt::Key_PageUp, 0, down, QRect(300, 10, 767, 73)}, // not back
            {v, Qt::Key_PageDown, 0, right, v.translated(80, 0)},
            {v, Qt::Key_PageUp, 0, right, v.translated(-80, 0)},
            {QRect(1180, 0, 80, 800), Qt::Key_PageDown, 0, right, QRect(1200, 0, 80, 800)},
            {r, Qt::Key_PageDown, 0, PageStep::None, none},
            {r, Qt::Key_PageDown, shift, down, none},
            {r, Qt::Key_A, 0, down, none},
        };
        for (const auto &row : rows)
            QVERIFY2(
                keyedGeometry(row.outer, row.key, Qt::KeyboardModifiers(row.mods), row.page, monitor).value_or(QRect())
                    == row.expected,
                qPrintable(QStringLiteral("key %1 at %2").arg(row.key, 0, 16).arg(row.outer.x())));
        QVERIFY(opensMenu(Qt::Key_Menu, Qt::NoModifier) && opensMenu(Qt::Key_F10, Qt::ShiftModifier));
        QVERIFY(!opensMenu(Qt::Key_F10, Qt::NoModifier) && !opensMenu(Qt::Key_Menu, Qt::ControlModifier));
    }
};

QTEST_GUILESS_MAIN(RulerKeysTest)
#include "test_rulerkeys.moc"

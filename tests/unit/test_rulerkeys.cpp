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
        const QRect r(300, 452, 767, 73), v(600, 0, 80, 800), monitor(0, 24, 1280, 776);
        const int shift = Qt::ShiftModifier;
        const PageStep none = PageStep::None, down = PageStep::Down, right = PageStep::Right;
        const struct {
            QRect outer;
            int key, mods;
            PageStep page;
            QRect expected; // null: not the ruler's key
        } rows[] = {
            {r, Qt::Key_Right, 0, down, r.translated(1, 0)},
            {r, Qt::Key_Left, shift, down, r.translated(-10, 0)},
            {r, Qt::Key_Up, Qt::KeypadModifier, none, r.translated(0, -1)},
            {r, Qt::Key_Right, Qt::ControlModifier, down, {}},
            {QRect(0, 24, 80, 800), Qt::Key_Left, 0, right, QRect(-1, 24, 80, 800)}, // arrows pass the edge
            {r, Qt::Key_PageDown, 0, down, r.translated(0, 73)},
            {r, Qt::Key_PageUp, 0, down, r.translated(0, -73)},
            {QRect(300, 700, 767, 73), Qt::Key_PageDown, 0, down, QRect(300, 727, 767, 73)},
            {QRect(300, 60, 767, 73), Qt::Key_PageUp, 0, down, QRect(300, 24, 767, 73)},
            {QRect(300, 10, 767, 73), Qt::Key_PageUp, 0, down, QRect(300, 10, 767, 73)}, // not back
            {v, Qt::Key_PageDown, 0, right, v.translated(80, 0)},
            {v, Qt::Key_PageUp, 0, right, v.translated(-80, 0)},
            {QRect(1180, 0, 80, 800), Qt::Key_PageDown, 0, right, QRect(1200, 0, 80, 800)},
            {r, Qt::Key_PageDown, 0, none, {}},
            {r, Qt::Key_PageDown, shift, down, {}},
            {r, Qt::Key_A, 0, down, {}},
        };
        for (const auto &row : rows) {
            const auto got = keyedGeometry(row.outer, row.key, Qt::KeyboardModifiers(row.mods), row.page, monitor);
            QVERIFY2(got.value_or(QRect()) == row.expected, qPrintable(QString::number(row.key, 16)));
        }
        QVERIFY(opensMenu(Qt::Key_Menu, Qt::NoModifier) && opensMenu(Qt::Key_F10, Qt::ShiftModifier));
        QVERIFY(!opensMenu(Qt::Key_F10, Qt::NoModifier) && !opensMenu(Qt::Key_Menu, Qt::ControlModifier));
    }
};

QTEST_GUILESS_MAIN(RulerKeysTest)
#include "test_rulerkeys.moc"

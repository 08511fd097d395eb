// SPDX-License-Identifier: MIT
// The ruler window family: single instances, placement, size commands, mouse rules, menus.
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/forms/commands.h"
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"
#include "platform/system/drag.h"

#include <QScreen>
#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

// Chooses the entry of a menu by its caption.
static void choose(QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions())
        if (a->text() == caption)
            return a->trigger();
    QFAIL(qPrintable("no menu entry " + caption));
}

static Label *label(Form &f, const char *name) { return f.client()->findChild<Label *>(QString::fromLatin1(name)); }

// A mouse move over a window's client area with these buttons held.
static void moveOver(Form &f, Qt::MouseButtons buttons)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(10, 10), f.client()->mapToGlobal(QPointF(10, 10)), Qt::NoButton, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(f.client(), &e);
}

class RulersTest : public QObject {
    Q_OBJECT
    FakeServices *fake = nullptr;

    static QRect screen() { return QGuiApplication::primaryScreen()->geometry(); }

private slots:
    void init() { fake = new FakeServices; }
    void cleanup()
    {
        resetForms();
        delete fake;
    }

    void standardRulerLoad()
    {
        frmRuler &r = showForm<frmRuler>();
        QVERIFY(r.isVisible());
        QVERIFY(r.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(r.testAttribute(Qt::WA_ShowWithoutActivating));
        // 11500 x 1100 twips: 767 x 73 pixels, the client 4 px inside.
        QCOMPARE(r.size(), QSize(767, 73));
        QCOMPARE(r.client()->geometry(), QRect(4, 4, 759, 65));
        // The design centred the 800 x 77 window; the placement divided that by 12.
        const int left = roundHalfEven((screen().width() - 800) / 2.0);
        const int top = roundHalfEven((screen().height() - 77) / 2.0);
        QCOMPARE(r.pos(), QPoint(roundHalfEven(left * 15 / 12.0), roundHalfEven(top * 15 / 12.0)));
        QVERIFY(r.lblTip->isVisible());
        QCOMPARE(r.lblTip->text(), QString("Right click ruler for options"));
        // Image1 covers the client area.
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
    }

    void singleInstanceAndRaiseKeepsGeometry()
    {
        frmRuler &r = showForm<frmRuler>();
        r.move(r.pos() + QPoint(13, 7));
        r.setOuterSize({600, r.height()});
        const QRect g = r.geometry();
        frmRulerMetric &m = showForm<frmRulerMetric>();
        choose(m.mnuFile, "Standard Ruler");
        QCOMPARE(loadedForm<frmRuler>(), &r);
        QCOMPARE(r.geometry(), g);
        // The vertical ruler from the tray and from the standard ruler is one window.
        frmRightClick &tray = loadForm<frmRightClick>();
        choose(tray.mnuShutDown, "Show Vertical Ruler");
        frmVRuler *v = loadedForm<frmVRuler>();
        v->move(v->pos() + QPoint(5, 5));
        const QRect vg = v->geometry();
        choose(r.mnuFile, "Vertical Ruler");
        QCOMPARE(loadedForm<frmVRuler>(), v);
        QCOMPARE(v->geometry(), vg);
    }

    void hideAndReopenStartsFromTheDesign()
    {
        frmRuler &r = showForm<frmRuler>();
        r.Image1_MouseMove(Qt::NoButton, Qt::NoModifier, QPointF(10, 10));
        QVERIFY(!r.lblTip->isVisible());
        r.setOuterSize({400, r.height()});
        choose(r.mnuFile, "Hide Ruler");
        QVERIFY(!loadedForm<frmRuler>());
        flushDeletes();
        frmRuler &again = showForm<frmRuler>();
        QCOMPARE(again.size(), QSize(767, 73));
        QVERIFY(again.lblTip->isVisible());
    }

    // A raised frame: from outside in, face then light at the top and left, darkest then dark at the
    // bottom and right, on the very last pixel row and column.
    void frameEdges_data()
    {
        QTest::addColumn<QString>("form");
        QTest::newRow("standard") << "frmRuler";
        QTest::newRow("metric") << "frmRulerMetric";
        QTest::newRow("vertical") << "frmVRuler";
        QTest::newRow("information") << "frmSplash";
    }
    void frameEdges()
    {
        QFETCH(QString, form);
        Form *f = form == "frmRuler"   ? static_cast<Form *>(&showForm<frmRuler>())
            : form == "frmRulerMetric" ? static_cast<Form *>(&showForm<frmRulerMetric>())
            : form == "frmVRuler"      ? static_cast<Form *>(&showForm<frmVRuler>())
                                       : static_cast<Form *>(&showForm<frmSplash>());
        const QImage img = f->grab().toImage();
        const QPalette &pal = f->palette();
        const QRgb face = pal.color(QPalette::Button).rgb(), light = pal.color(QPalette::Light).rgb();
        const QRgb dark = pal.color(QPalette::Dark).rgb(), darkest = pal.color(QPalette::Shadow).rgb();
        const int w = img.width(), h = img.height(), x = w / 2, y = h / 2;
        // Outermost, then the next line, on the top, left, bottom and right sides.
        const QList<std::pair<QRgb, QRgb>> seen{{img.pixel(x, 0), img.pixel(x, 1)},
                                                {img.pixel(0, y), img.pixel(1, y)},
                                                {img.pixel(x, h - 1), img.pixel(x, h - 2)},
                                                {img.pixel(w - 1, y), img.pixel(w - 2, y)}};
        const QList<std::pair<QRgb, QRgb>> raised{{face, light}, {face, light}, {darkest, dark}, {darkest, dark}};
        QCOMPARE(seen, raised);
    }

    // The smallest ruler is its frame, for the window manager's resize and for our own.
    void smallestRulerIsItsFrame()
    {
        frmRuler &r = showForm<frmRuler>();
        for (Form *f : {static_cast<Form *>(&r), static_cast<Form *>(&showForm<frmRulerMetric>()),
                        static_cast<Form *>(&showForm<frmVRuler>()), static_cast<Form *>(&showForm<frm45Angle>())})
            QCOMPARE(f->minimumSize(), QSize(8, 8));
        // Our own resize: the bottom border dragged 200 px up, past the top.
        const QPoint press(r.width() / 2, r.height() - 2);
        const QPoint global = r.mapToGlobal(press);
        QMouseEvent down(QEvent::MouseButtonPress, press, global, Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(&r, &down);
        QMouseEvent up200(QEvent::MouseMove, press - QPoint(0, 200), global - QPoint(0, 200), Qt::NoButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(&r, &up200);
        QCOMPARE(r.height(), 8);
        QCOMPARE(r.client()->size(), QSize(r.width() - 8, 0));
        QMouseEvent release(QEvent::MouseButtonRelease, press, global, Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(&r, &release);
        r.setOuterSize({r.width(), 0});
        QCOMPARE(r.height(), 8);
    }

    // The frame's resize pointer stays on the frame: the client area keeps the arrow.
    void resizePointerOnlyOnTheFrame()
    {
        frmRuler &r = showForm<frmRuler>();
        const QPoint onLeftBorder(1, r.height() / 2);
        QMouseEvent move(QEvent::MouseMove, onLeftBorder, r.mapToGlobal(onLeftBorder), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(&r, &move);
        QCOMPARE(r.cursor().shape(), Qt::SizeHorCursor);
        QCOMPARE(r.client()->cursor().shape(), Qt::ArrowCursor);
    }

    void normalSize()
    {
        frmRuler &r = showForm<frmRuler>();
        r.setOuterSize({333, r.height()});
        choose(r.mnuFile, "Normal Size");
        QCOMPARE(r.size(), QSize(800, 73));
        const float sw = screen().width() * 15.0f, sh = screen().height() * 15.0f;
        QCOMPARE(r.x(), roundHalfEven((sw - 12000.0f) / 2 / 15));
        QCOMPARE(r.y(), roundHalfEven((sh - 1095.0f) / 2 / 15));

        // The metric ruler keeps its place.
        frmRulerMetric &m = showForm<frmRulerMetric>();
        QCOMPARE(m.size(), QSize(800, 73));
        m.move(40, 50);
        m.setOuterSize({m.width(), 200});
        choose(m.mnuFile, "Normal Size");
        QCOMPARE(m.geometry(), QRect(40, 50, 800, 73));

        // The vertical ruler centres, above the screen's top on a short screen.
        frmVRuler &v = showForm<frmVRuler>();
        QCOMPARE(v.size(), QSize(80, 800));
        v.move(0, 0);
        choose(v.mnuFile, "Normal Size");
        QCOMPARE(v.size(), QSize(80, 800));
        QCOMPARE(v.x(), roundHalfEven((sw - 1200.0f) / 2 / 15));
        QCOMPARE(v.y(), roundHalfEven((sh - 12000.0f) / 2 / 15));
        if (screen().height() < 800)
            QVERIFY(v.y() < screen().y());
    }

    void dragRules_data()
    {
        QTest::addColumn<Qt::MouseButtons>("buttons");
        QTest::addColumn<bool>("drags");
        QTest::newRow("left") << Qt::MouseButtons(Qt::LeftButton) << true;
        QTest::newRow("none") << Qt::MouseButtons() << false;
        QTest::newRow("right") << Qt::MouseButtons(Qt::RightButton) << false;
        QTest::newRow("left and right") << (Qt::LeftButton | Qt::RightButton) << false;
        QTest::newRow("middle") << Qt::MouseButtons(Qt::MiddleButton) << false;
        QTest::newRow("left and middle") << (Qt::LeftButton | Qt::MiddleButton) << false;
    }

    void dragRules()
    {
        QFETCH(Qt::MouseButtons, buttons);
        QFETCH(bool, drags);
        frmRuler &r = showForm<frmRuler>();
        r.Image1_MouseMove(buttons, Qt::NoModifier, QPointF(100, 100));
        QCOMPARE(fake->systemMoves.size(), drags ? 1 : 0);
        // The tip goes whatever the buttons.
        QVERIFY(!r.lblTip->isVisible());
        frmRulerMetric &m = showForm<frmRulerMetric>();
        moveOver(m, buttons);
        QCOMPARE(fake->systemMoves.size(), drags ? 2 : 0);
        if (drags)
            QCOMPARE(fake->systemMoves.last().data(), &m);
    }

    void ownMoveWhereTheWindowSystemRefuses()
    {
        fake->systemMoveWorks = false;
        frmVRuler &v = showForm<frmVRuler>();
        moveOver(v, Qt::LeftButton);
        QVERIFY(ownDragActive());
        const QPoint start = v.pos();
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QCursor::pos() + QPoint(30, 40), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v.client(), &move);
        QCOMPARE(v.pos(), start + QPoint(30, 40));
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), QCursor::pos(), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(v.client(), &up);
        QVERIFY(!ownDragActive());
        flushDeletes();
    }

    void mouseDownOpensTheMenuOnlyForTheRightButton()
    {
        frmRuler &r = showForm<frmRuler>();
        // On the picture surface, which passes presses to the client area.
        for (const Qt::MouseButton b : {Qt::LeftButton, Qt::MiddleButton}) {
            QTest::mousePress(r.Image1, b, {}, QPoint(10, 10));
            QTest::mouseRelease(r.Image1, b, {}, QPoint(10, 10));
        }
        QVERIFY(!r.mnuFile->isVisible());
        QVERIFY(fake->systemMoves.isEmpty());
        QTest::mousePress(r.Image1, Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(r.mnuFile->isVisible());
        closePopups();
        QTest::mousePress(r.client(), Qt::RightButton, {}, QPoint(700, 30));
        QVERIFY(r.mnuFile->isVisible());
    }

    void menus()
    {
        QCOMPARE(menuCaptions(loadForm<frmRuler>().mnuFile),
                 QStringList({"Hide Ruler", "Metric Ruler", "Vertical Ruler", "45-Angle", "Normal Size",
                              "Display Picture", "-", "Help", "About"}));
        QCOMPARE(menuCaptions(loadForm<frmRulerMetric>().mnuFile),
                 QStringList({"Hide Metric Ruler", "Standard Ruler", "Normal Size", "Help"}));
        QCOMPARE(menuCaptions(loadForm<frmVRuler>().mnuFile),
                 QStringList({"Hide Vertical Ruler", "Standard Ruler", "Normal Size", "Help"}));
        QCOMPARE(menuCaptions(loadForm<frm45Angle>().mnuFile), QStringList({"Hide 45Angle", "Help"}));
        for (QAction *a : loadForm<frmRuler>().mnuFile->actions()) {
            QVERIFY(!a->isCheckable());
            QVERIFY(a->isEnabled());
            QVERIFY(a->shortcut().isEmpty());
        }
    }

    // A command's key works on its window while the menu stays hidden.
    void commandKeys()
    {
        static int runs = 0;
        static const Command<Form> commands[] = {{"mnuTry", "Try", [](Form &) { ++runs; }, "Ctrl+T"}};
        Form f("frmTry", Form::Border::None, QSizeF(1500, 1500));
        QMenu *menu = buildMenu<Form>(f, "mnuTry", "Try", commands);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(&f, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(runs, 1);
        QVERIFY(!menu->isVisible());
    }

    void openingOtherRulersLeavesThisOneOpen()
    {
        frmRuler &r = showForm<frmRuler>();
        choose(r.mnuFile, "Metric Ruler");
        choose(r.mnuFile, "Vertical Ruler");
        choose(r.mnuFile, "45-Angle");
        QVERIFY(isShown<frmRuler>());
        QVERIFY(isShown<frmRulerMetric>());
        QVERIFY(isShown<frmVRuler>());
        QVERIFY(isShown<frm45Angle>());
        // Topmost rulers and an ordinary angle ruler.
        QVERIFY(loadedForm<frmVRuler>()->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(loadedForm<frm45Angle>()->windowFlags() & Qt::WindowStaysOnTopHint));
        // Hiding one leaves the others.
        choose(loadedForm<frmRulerMetric>()->mnuFile, "Hide Metric Ruler");
        QVERIFY(isShown<frmRuler>());
        QVERIFY(isShown<frmVRuler>());
    }

    void helpAndAboutOpenTheSameInformationWindow()
    {
        frmRuler &r = showForm<frmRuler>();
        choose(r.mnuFile, "Help");
        frmSplash *info = loadedForm<frmSplash>();
        QVERIFY(info && info->cmdOK->isVisible());
        choose(r.mnuFile, "About");
        QCOMPARE(loadedForm<frmSplash>(), info);
        QCOMPARE(info->height(), 500);
        choose(showForm<frm45Angle>().mnuFile, "Help");
        choose(showForm<frmVRuler>().mnuFile, "Help");
        choose(showForm<frmRulerMetric>().mnuFile, "Help");
        QCOMPARE(loadedForm<frmSplash>(), info);
    }

    void metricAndVerticalDesign()
    {
        frmRulerMetric &m = showForm<frmRulerMetric>();
        QCOMPARE(m.backColor(), QColor(0xFF, 0x80, 0x00));
        QCOMPARE(label(m, "Label1")->text(), QString("Zentyr"));
        QCOMPARE(label(m, "Label1")->geometry(), QRect(0, 48, 73, 17));
        frmVRuler &v = showForm<frmVRuler>();
        QCOMPARE(v.backColor(), QColor(0xFF, 0x80, 0x00));
        QCOMPARE(v.client()->size(), QSize(72, 792));
    }

    void pressesOnLabelsNeitherDragNorOpenTheMenu()
    {
        frmRulerMetric &m = showForm<frmRulerMetric>();
        frm45Angle &a = showForm<frm45Angle>();
        for (Label *l : {label(m, "Label1"), label(a, "Label1"), label(a, "Label2")}) {
            const QPoint mid = l->rect().center();
            QTest::mousePress(l, Qt::RightButton, {}, mid);
            QTest::mouseRelease(l, Qt::RightButton, {}, mid);
            QTest::mousePress(l, Qt::LeftButton, {}, mid);
            QMouseEvent move(QEvent::MouseMove, mid + QPoint(3, 0), l->mapToGlobal(mid + QPoint(3, 0)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(l, &move);
            QTest::mouseRelease(l, Qt::LeftButton, {}, mid);
        }
        QVERIFY(fake->systemMoves.isEmpty());
        QVERIFY(!m.mnuFile->isVisible());
        QVERIFY(!a.mnuFile->isVisible());
    }

    void angleRulerRegion()
    {
        frm45Angle &a = showForm<frm45Angle>();
        QVERIFY(!a.hRgn.isEmpty());
        QCOMPARE(a.mask(), a.hRgn);
        // The triangle's corners at (0,430), (440,0), (440,430): pixels up to them.
        QVERIFY(QRect(0, 0, 440, 430).contains(a.hRgn.boundingRect()));
        QVERIFY(a.hRgn.boundingRect().width() >= 436 && a.hRgn.boundingRect().height() >= 428);
        QVERIFY(a.hRgn.contains(QPoint(430, 420)));
        QVERIFY(!a.hRgn.contains(QPoint(20, 20)));
        QVERIFY(!a.hRgn.contains(QPoint(600, 100))); // the right part of the client is cut away
        // Reopening while open neither reloads nor rebuilds.
        const QRegion before = a.hRgn;
        a.setMask(QRegion(0, 0, 1, 1));
        QCOMPARE(&showForm<frm45Angle>(), &a);
        QCOMPARE(a.mask(), QRegion(0, 0, 1, 1));
        QCOMPARE(a.hRgn, before);
        // Its design position: client corner at 2715, 780 twips.
        QCOMPARE(a.client()->mapToGlobal(QPoint(0, 0)), QPoint(181, 52));
    }
};

QTEST_MAIN(RulersTest)
#include "test_rulers.moc"

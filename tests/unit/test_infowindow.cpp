// SPDX-License-Identifier: MIT
// The information window in its two roles.
#include "app/module1.h"
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/system/msgbox.h"
#include "platform/forms/twips.h"

#include <QMessageBox>
#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

// A control of the information window by its design name.
template <class C = Label> static C *control(const frmSplash &f, const char *name)
{
    return f.findChild<C *>(QLatin1String(name));
}

class InfoWindowTest : public QObject {
    Q_OBJECT
    FakeServices *fake = nullptr;

private slots:
    void init() { fake = new FakeServices; }
    void cleanup()
    {
        resetForms();
        delete fake;
    }

    void designGeometry()
    {
        QCOMPARE(twipsPerPixelX(), 15.0);
        frmSplash &f = showForm<frmSplash>();
        // Fixed dialog frame: 3 px a side around the 7650 x 3765 client.
        QCOMPARE(f.client()->size(), QSize(510, 251));
        QCOMPARE(f.size(), QSize(516, 257));
        // Centred on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(f.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(f.geometry().center().y() - screen.center().y()) <= 1);
        QVERIFY(f.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.backColor(), QColor(0, 0, 0));
        QCOMPARE(control<QPushButton>(f, "cmdOptions")->geometry(), QRect(8, 216, 113, 25));
        QCOMPARE(control(f, "Label8")->geometry(), QRect(16, 336, 473, 49));
        // The image boxes: the ruler strip stretched under the banner, the steel rule far up and left.
        QCOMPARE(control<ImageControl>(f, "Image3")->geometry(), QRect(16, 56, 480, 56));
        QCOMPARE(f.Image1->geometry(), QRect(-688, -2120, 1997, 2403));
    }

    void captions()
    {
        frmSplash &f = loadForm<frmSplash>();
        QCOMPARE(control(f, "lblPlatform")->text(), QString("Windows 95 & 98"));
        QCOMPARE(control(f, "Label4")->text(),
                 QString("Keep your position on screen when reading and working with documents. "
                         "Align & organize text, graphics and other objects on screen."));
        QVERIFY(control(f, "Label2")->text().startsWith(" Zentyr is"));
        QVERIFY(control(f, "Label8")->text().startsWith("  Zentyr runs"));
        QVERIFY(control(f, "Label5")->text().startsWith(" Send email to: "));
        QVERIFY(control(f, "Label5")->text().endsWith(".example.com")
                || control(f, "Label5")->text().contains("@example."));
        QCOMPARE(control(f, "Label7")->text(), QString(" For help or to have input on future versions."));
        QCOMPARE(f.lblVersion->text(), QString("Version 2.1.23"));
    }

    void selfSizingLabelsKeepTheirEdge()
    {
        frmSplash &f = loadForm<frmSplash>();
        // Right-aligned: the right edge of the design stays (6600 + 720 twips).
        QCOMPARE(f.lblVersion->geometry().right() + 1, 488);
        QVERIFY(f.lblVersion->width() > 48); // grew to the longer text
        QCOMPARE(f.lblVersion->width(), QFontMetrics(f.lblVersion->font()).horizontalAdvance(f.lblVersion->text()) + 1);
        QCOMPARE(control(f, "lblPlatform")->geometry().right() + 1, 491);
        QCOMPARE(control(f, "lblCompanyProduct")->x(), 16);
        QVERIFY(qAbs(control(f, "lblProductName")->geometry().center().x() - QRect(22, 120, 117, 34).center().x())
                <= 1);
        // Every banner text is inside the window.
        for (QWidget *w : {static_cast<QWidget *>(f.lblVersion), control<QWidget>(f, "lblPlatform")})
            QVERIFY(f.client()->rect().contains(w->geometry()));
    }

    void optionsBoxExactly()
    {
        frmSplash &f = showForm<frmSplash>();
        control<QPushButton>(f, "cmdOptions")->click();
        QCOMPARE(fake->boxes.size(), 1);
        const QByteArray expected = "HIDE THE RULER AT STARTUP!\r\r"
                                    "Create a shortcut to Zentyr.EXE, then right-click the shortcut's icon.\r\r"
                                    "Select Properties from the context menu that appears, then enter hideruler at the "
                                    "end of the the command line.\r\r"
                                    "For example, the command line would look something like this:\r\r"
                                    "\"C:\\Windows\\Zentyr.exe\" hideruler";
        QCOMPARE(fake->boxes[0].text.toLatin1(), expected);
        QCOMPARE(fake->boxes[0].style, MessageStyle::Plain);
        QVERIFY(fake->boxes[0].title.isEmpty());
        QCOMPARE(applicationTitle(), QString("Zentyr"));
        const QString shown = newMessageBox(fake->boxes[0].text, MessageStyle::Plain, {})->text();
        QVERIFY(shown.contains("STARTUP!\n\nCreate"));
        QVERIFY(!shown.contains('\r'));
        QVERIFY(isShown<frmSplash>()); // the window does not change
    }

    void informationRole()
    {
        ShowInfoScreen();
        frmSplash *f = loadedForm<frmSplash>();
        QVERIFY(f && f->isVisible());
        QCOMPARE(f->height(), twipsToPixelsY(7500));
        QCOMPARE(f->height(), 500);
        QCOMPARE(f->width(), 516);
        QVERIFY(f->cmdOK->isVisible());
        QVERIFY(control<QPushButton>(*f, "cmdOptions")->isVisible());
        QVERIFY(!f->Timer1.isActive());
        // All six help texts lie inside the taller client area.
        for (Label *l : {control(*f, "Label2"), control(*f, "Label4"), control(*f, "Label8"), control(*f, "Label9"),
                         control(*f, "Label5"), control(*f, "Label7")})
            QVERIFY(f->client()->rect().contains(l->geometry()));
        // It stays open well past the splash time.
        QTest::qWait(2300);
        QCOMPARE(loadedForm<frmSplash>(), f);
    }

    void helpTwiceDoesNotReload()
    {
        ShowInfoScreen();
        frmSplash *f = loadedForm<frmSplash>();
        const QPoint pos = f->pos();
        control<QPushButton>(*f, "cmdOptions")->setFocus();
        ShowInfoScreen();
        QCOMPARE(loadedForm<frmSplash>(), f);
        QCOMPARE(f->pos(), pos);
        QCOMPARE(f->height(), 500);
        QVERIFY(f->cmdOK->isVisible());
        QVERIFY(!f->Timer1.isActive());
    }

    void splashOpenThenHelpStopsTheHandOver()
    {
        showForm<frmSplash>();
        frmSplash *f = loadedForm<frmSplash>();
        QVERIFY(f->Timer1.isActive());
        ShowInfoScreen();
        QCOMPARE(loadedForm<frmSplash>(), f);
        QVERIFY(!f->Timer1.isActive());
    }

    void okUnloadsAndTheNextLoadStartsFromTheDesign()
    {
        ShowInfoScreen();
        frmSplash *f = loadedForm<frmSplash>();
        f->cmdOK->click();
        QVERIFY(!loadedForm<frmSplash>());
        flushDeletes();
        frmSplash &again = loadForm<frmSplash>();
        QVERIFY(!again.cmdOK->isVisibleTo(&again));
        QCOMPARE(again.height(), 257);
        QVERIFY(again.Timer1.isActive()); // its load handler enabled it again
    }

    // Opened as help, focus starts on Options (OK is hidden when the window first shows), so Space
    // does not close it; a close from the window manager unloads it only in this role.
    void informationRoleFocusAndWindowSystemClose()
    {
        ShowInfoScreen();
        frmSplash *f = loadedForm<frmSplash>();
        QCOMPARE(f->focusWidget(), control<QPushButton>(*f, "cmdOptions"));
        const QRect designed = f->geometry();
        f->move(f->pos() + QPoint(30, 20));
        QVERIFY(f->close());
        QVERIFY(!loadedForm<frmSplash>());
        flushDeletes();

        frmSplash &splash = showForm<frmSplash>();
        QVERIFY(!splash.close());
        QVERIFY(isShown<frmSplash>());
        splash.unload();
        flushDeletes();
        ShowInfoScreen();
        QCOMPARE(loadedForm<frmSplash>()->geometry(), designed);
    }

    void escapeIsIgnoredInBothRoles()
    {
        frmSplash &f = showForm<frmSplash>();
        QTest::keyClick(&f, Qt::Key_Escape);
        QTest::keyClick(control<QPushButton>(f, "cmdOptions"), Qt::Key_Escape);
        QVERIFY(isShown<frmSplash>());
        ShowInfoScreen();
        f.cmdOK->setFocus();
        QTest::keyClick(f.cmdOK, Qt::Key_Escape);
        QTest::keyClick(&f, Qt::Key_Escape);
        QVERIFY(isShown<frmSplash>());
        QCOMPARE(fake->boxes.size(), 0);
    }
};

QTEST_MAIN(InfoWindowTest)
#include "test_infowindow.moc"

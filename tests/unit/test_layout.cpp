// SPDX-License-Identifier: MIT
// Proportional layout: the records, their application, and the standard ruler using them.
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/forms/controls.h"
#include "rulers/layout.h"

#include <QtTest>

using namespace zentyr;
using namespace zentyr::test;

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    // The tip of the standard ruler's design: 1080, 720, 2535 x 255 twips in 11880 x 1035, 8.25 points.
    void workedExample_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("placed");
        QTest::addColumn<double>("points");
        // 5940 twips wide: left 540, width 1267.5 twips (84.5 pixels, to the even 84), 4.125 points.
        QTest::newRow("half the width") << QSize(396, 69) << QRect(36, 48, 84, 17) << 4.125;
        QTest::newRow("twice the width") << QSize(1584, 69) << QRect(144, 48, 338, 17) << 16.5;
        QTest::newRow("twice the height: fonts stay") << QSize(792, 138) << QRect(72, 96, 169, 34) << 8.25;
        QTest::newRow("no height") << QSize(792, 0) << QRect(72, 0, 169, 0) << 8.25;
        QTest::newRow("as recorded") << QSize(792, 69) << QRect(72, 48, 169, 17) << 8.25;
    }
    void workedExample()
    {
        QFETCH(QSize, client);
        QFETCH(QRect, placed);
        QFETCH(double, points);
        QWidget parent;
        parent.resize(792, 69);
        auto *image = new QWidget(&parent);
        image->setGeometry(0, 0, 792, 69);
        auto *tip = new Label(&parent, "lblTip");
        tip->setGeometry(72, 48, 169, 17);
        tip->setFont(designFont("MS Sans Serif", 8.25));
        LayoutRecords r;
        RecordLayout(r, &parent);
        const ControlLayout &cl = r.ControlLayouts[1];
        QVERIFY(qAbs(cl.LeftRatio - 0.0909f) < 1e-4f);
        QVERIFY(qAbs(cl.TopRatio - 0.6957f) < 1e-4f);
        QVERIFY(qAbs(cl.WidthRatio - 0.2134f) < 1e-4f);
        QVERIFY(qAbs(cl.HeightRatio - 0.2464f) < 1e-4f);
        QCOMPARE(r.FontRatios, std::vector<float>({0.0f, 8.25f / 792.0f}));
        parent.resize(client);
        ApplyLayout(r, &parent);
        QCOMPARE(tip->geometry(), placed);
        QVERIFY(qAbs(tip->font().pointSizeF() - points) < 1e-4);
        QCOMPARE(image->geometry(), QRect(QPoint(0, 0), client));
    }

    // Recorded against a client of no width: the fractions of the width stay zero, and a font of
    // no size is not set.
    void zeroWidthRecordsAndNoRecords()
    {
        QWidget parent;
        auto *tip = new Label(&parent, "lblTip");
        tip->setGeometry(72, 48, 169, 17);
        tip->setFont(designFont("MS Sans Serif", 8.25));
        LayoutRecords none;
        parent.resize(396, 69);
        ApplyLayout(none, &parent);
        QCOMPARE(tip->geometry(), QRect(72, 48, 169, 17));
        LayoutRecords r;
        parent.resize(0, 69);
        RecordLayout(r, &parent);
        QCOMPARE(r.ControlLayouts[0].WidthRatio, 0.0f);
        QCOMPARE(r.ControlLayouts[0].LeftRatio, 0.0f);
        QCOMPARE(r.FontRatios[0], 0.0f);
        parent.resize(792, 69);
        ApplyLayout(r, &parent);
        QCOMPARE(tip->geometry(), QRect(0, 48, 0, 17));
        QCOMPARE(tip->font().pointSizeF(), 8.25);
    }

    // The standard ruler itself.
    void standardRulerFollowsItsWidth()
    {
        FakeServices fake;
        frmRuler &r = showForm<frmRuler>();
        const QSize size0 = r.size();
        const double font0 = r.lblTip->font().pointSizeF();
        const QRect tip0 = r.lblTip->geometry();
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
        r.setOuterSize({r.width() / 2, r.height()});
        QVERIFY(r.lblTip->font().pointSizeF() < font0 * 0.6);
        QVERIFY(r.lblTip->width() < tip0.width() * 0.6);
        QCOMPARE(r.lblTip->y(), tip0.y());
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
        // Taller: positions follow, fonts do not.
        const double fontHalf = r.lblTip->font().pointSizeF();
        r.setOuterSize({r.width(), r.height() * 2});
        QCOMPARE(r.lblTip->font().pointSizeF(), fontHalf);
        QVERIFY(r.lblTip->y() > tip0.y() * 1.8);
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
        // Back to the load size: back to where it was.
        r.setOuterSize(size0);
        QVERIFY(qAbs(r.lblTip->font().pointSizeF() - font0) < 0.05);
        QVERIFY(qAbs(r.lblTip->x() - tip0.x()) <= 1);
        QVERIFY(qAbs(r.lblTip->width() - tip0.width()) <= 1);
        // A client of zero height collapses the controls; the records bring them back.
        r.setOuterSize({r.width(), 8});
        QCOMPARE(r.client()->height(), 0);
        QCOMPARE(r.lblTip->height(), 0);
        r.setOuterSize(size0);
        QCOMPARE(r.lblTip->geometry(), tip0);
        resetForms();
    }
};

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"

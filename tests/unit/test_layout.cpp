// SPDX-License-Identifier: MIT
// Proportional layout: the records, their application, and the standard ruler using them.
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/forms/controls.h"
#include "rulers/layout.h"

#include <QtTest>
#include <limits>

using namespace zentyr;
using namespace zentyr::test;

namespace {
// A control with every member, recording its moves.
struct Box : LayoutControl {
    float l, t, w, h;
    std::optional<float> font;
    int moves = 0;
    Box(float l_, float t_, float w_, float h_, std::optional<float> f = std::nullopt)
        : l(l_), t(t_), w(w_), h(h_), font(f)
    { }
    std::optional<float> left() const override { return l; }
    std::optional<float> top() const override { return t; }
    std::optional<float> width() const override { return w; }
    std::optional<float> height() const override { return h; }
    std::optional<float> fontSize() const override { return font; }
    bool move(float a, float b, float c, float d) override
    {
        l = a;
        t = b;
        w = c;
        h = d;
        ++moves;
        return true;
    }
    bool setFontSize(float p) override
    {
        if (!font || p <= 0)
            return false;
        font = p;
        return true;
    }
};
struct Menu : LayoutControl { };
} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
    float cw = 11880, ch = 1035;
    ClientSize W = [this] { return cw; };
    ClientSize H = [this] { return ch; };

private slots:
    void init()
    {
        cw = 11880;
        ch = 1035;
    }

    void workedExample()
    {
        Box tip(1080, 720, 2535, 255, 8.25f);
        Menu menu;
        LayoutRecords r;
        RecordLayout(r, {&tip, &menu}, W, H);
        QCOMPARE(r.ControlLayouts.size(), size_t(2));
        QVERIFY(qAbs(r.ControlLayouts[0].LeftRatio - 0.0909f) < 1e-4f);
        QVERIFY(qAbs(r.ControlLayouts[0].TopRatio - 0.6957f) < 1e-4f);
        QVERIFY(qAbs(r.ControlLayouts[0].WidthRatio - 0.2134f) < 1e-4f);
        QVERIFY(qAbs(r.ControlLayouts[0].HeightRatio - 0.2464f) < 1e-4f);
        QCOMPARE(r.FontRatios[0], 8.25f / 11880.0f);
        // The menu entry has no members: its record stays zero.
        QCOMPARE(r.ControlLayouts[1].WidthRatio, 0.0f);
        cw = 5940;
        ApplyLayout(r, {&tip, &menu}, W, H);
        QCOMPARE(tip.moves, 1); // one Move per control
        QVERIFY(qAbs(tip.l - 540) < 0.01f);
        QVERIFY(qAbs(tip.t - 720) < 0.01f);
        QVERIFY(qAbs(tip.w - 1267.5f) < 0.01f);
        QVERIFY(qAbs(tip.h - 255) < 0.01f);
        QVERIFY(qAbs(*tip.font - 4.125f) < 1e-4f);
    }

    void widthDoublesHeightKeepsFonts()
    {
        Box tip(1080, 720, 2535, 255, 8.25f);
        LayoutRecords r;
        RecordLayout(r, {&tip}, W, H);
        cw = 23760;
        ApplyLayout(r, {&tip}, W, H);
        QVERIFY(qAbs(tip.l - 2160) < 0.01f);
        QVERIFY(qAbs(tip.w - 5070) < 0.01f);
        QVERIFY(qAbs(*tip.font - 16.5f) < 1e-4f);
        QVERIFY(qAbs(tip.t - 720) < 0.01f);
        QVERIFY(qAbs(tip.h - 255) < 0.01f);
        cw = 11880;
        ch = 2070;
        ApplyLayout(r, {&tip}, W, H);
        QVERIFY(qAbs(*tip.font - 8.25f) < 1e-4f);
        QVERIFY(qAbs(tip.t - 1440) < 0.01f);
        QVERIFY(qAbs(tip.h - 510) < 0.01f);
    }

    void zeroHeightThenBack()
    {
        Box tip(1080, 720, 2535, 255, 8.25f);
        LayoutRecords r;
        RecordLayout(r, {&tip}, W, H);
        ch = 0;
        ApplyLayout(r, {&tip}, W, H);
        QCOMPARE(tip.t, 0.0f);
        QCOMPARE(tip.h, 0.0f);
        ch = 1035;
        ApplyLayout(r, {&tip}, W, H);
        QVERIFY(qAbs(tip.t - 720) < 0.01f);
        QVERIFY(qAbs(tip.h - 255) < 0.01f);
    }

    void failingStepsAreSkipped()
    {
        // Recording against a zero-width client: the width quotients fail and stay zero.
        Box tip(1080, 720, 2535, 255, 8.25f);
        LayoutRecords r;
        cw = 0;
        RecordLayout(r, {&tip}, W, H);
        QCOMPARE(r.ControlLayouts[0].WidthRatio, 0.0f);
        QCOMPARE(r.ControlLayouts[0].LeftRatio, 0.0f);
        QCOMPARE(r.FontRatios[0], 0.0f);
        QVERIFY(r.ControlLayouts[0].TopRatio > 0.69f);
        // A zero font ratio gives a size the toolkit cannot take: that step fails, the move happens.
        cw = 11880;
        ApplyLayout(r, {&tip}, W, H);
        QCOMPARE(*tip.font, 8.25f);
        QCOMPARE(tip.moves, 1);
        QCOMPARE(tip.w, 0.0f);
        // Products out of range fail the move.
        Box big(1080, 720, 20000, 255); // wider than the client: its product overflows
        LayoutRecords rb;
        RecordLayout(rb, {&big}, W, H);
        cw = std::numeric_limits<float>::max();
        ApplyLayout(rb, {&big}, W, H);
        QCOMPARE(big.moves, 0);
    }

    void beforeRecordsAndBeyondThem()
    {
        Box a(10, 10, 10, 10), b(20, 20, 20, 20);
        LayoutRecords none;
        ApplyLayout(none, {&a}, W, H);
        QCOMPARE(a.moves, 0);
        LayoutRecords r;
        RecordLayout(r, {&a}, W, H);
        cw = 5940;
        ApplyLayout(r, {&a, &b}, W, H); // the collection grew after recording
        QCOMPARE(a.moves, 1);
        QCOMPARE(b.moves, 0);
        QCOMPARE(b.l, 20.0f);
    }

    // The standard ruler itself.
    void standardRulerFollowsItsWidth()
    {
        FakeServices fake;
        frmRuler &r = showForm<frmRuler>();
        const float w0 = r.scaleWidthTwips();
        const double font0 = r.lblTip->fontSize();
        const QRect tip0 = r.lblTip->geometry();
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
        r.setWidthTwips(r.widthTwips() / 2);
        QVERIFY(r.lblTip->fontSize() < font0 * 0.6);
        QVERIFY(r.lblTip->width() < tip0.width() * 0.6);
        QCOMPARE(r.lblTip->y(), tip0.y());
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
        // Taller: positions follow, fonts do not.
        const double fontHalf = r.lblTip->fontSize();
        r.setHeightTwips(r.heightTwips() * 2);
        QCOMPARE(r.lblTip->fontSize(), fontHalf);
        QVERIFY(r.lblTip->y() > tip0.y() * 1.8);
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
        // Back to the load size: back to where it was.
        r.setWidthTwips(11500);
        r.setHeightTwips(1100);
        QVERIFY(qAbs(r.scaleWidthTwips() - w0) < 1);
        QVERIFY(qAbs(r.lblTip->fontSize() - font0) < 0.05);
        QVERIFY(qAbs(r.lblTip->x() - tip0.x()) <= 1);
        QVERIFY(qAbs(r.lblTip->width() - tip0.width()) <= 1);
        // A client of zero height collapses the controls; the records bring them back.
        r.setHeightTwips(120);
        QCOMPARE(r.client()->height(), 0);
        QCOMPARE(r.lblTip->height(), 0);
        r.setHeightTwips(1100);
        QCOMPARE(r.lblTip->geometry(), tip0);
        resetForms();
    }
};

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"

// SPDX-License-Identifier: MIT
#include "rulers/frmruler.h"
#include "platform/forms/formregistry.h"
#include "artwork/artwork.h"
#include "artwork/palette.h"
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"
#include "rulers/frm45angle.h"
#include "rulers/frmrulermetric.h"
#include "rulers/frmvruler.h"
#include "rulers/layoutcontrols.h"
#include "rulers/rulerhost.h"

#include <QMouseEvent>
#include <QPainter>

namespace zentyr {

const char *const frmRuler::PictureFilter
    = "JPEG Files (*.jpg)|*.*|GIF Files (*.gif)|*.gif|BITMAP Files (*.bmp)|*.bmp|All Files (*.*)|*.*";

RulerImage::RulerImage(frmRuler *form) : QWidget(form->client()), m_form(form)
{
    setObjectName(QStringLiteral("Image1"));
    setMouseTracking(true);
}

void RulerImage::setPicture(QImage picture)
{
    m_picture = QPixmap::fromImage(std::move(picture));
    update();
}

void RulerImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return; // no picture: the inch scale behind shows through
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_picture);
    m_form->pointerReadout().paint(p, -pos()); // over the picture too
}

void RulerImage::mousePressEvent(QMouseEvent *e)
{
    m_form->Image1_MouseDown(Form::buttonCode(e->button()), Form::shiftCode(e->modifiers()),
                             static_cast<float>(e->position().x() * twipsPerPixelX()),
                             static_cast<float>(e->position().y() * twipsPerPixelY()));
}

void RulerImage::mouseMoveEvent(QMouseEvent *e)
{
    m_form->Image1_MouseMove(Form::buttonsCode(e->buttons()), Form::shiftCode(e->modifiers()),
                             static_cast<float>(e->position().x() * twipsPerPixelX()),
                             static_cast<float>(e->position().y() * twipsPerPixelY()));
}

frmRuler::frmRuler() : RulerForm(QStringLiteral("frmRuler"), QSizeF(11880, 1035))
{
    setShowInTaskbar(false);
    setWindowKind(WindowKind::Utility); // floats on tiling managers
    setScale(artwork::Picture::InchScale);
    client()->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25));

    Image1 = new RulerImage(this);
    setGeometryTwips(Image1, 0, 0, 975, 615);

    lblTip = new Label(client(), QStringLiteral("lblTip"));
    setGeometryTwips(lblTip, 1080, 720, 2535, 255);
    lblTip->setFont(client()->font());
    lblTip->setBackColor(artwork::palette::HelpBack);
    lblTip->setForeColor(QColor(0, 0, 0));
    lblTip->setAlignment(Qt::AlignHCenter);
    lblTip->setCaption(QStringLiteral("Right click ruler for options"));

    mnuHideRuler = addMenuItem("mnuHideRuler", QStringLiteral("Hide Ruler"), [this] { mnuHideRuler_Click(); });
    mnuMetricruler = addMenuItem("mnuMetricruler", QStringLiteral("Metric Ruler"), [this] { mnuMetricruler_Click(); });
    mnuVRuler = addMenuItem("mnuVRuler", QStringLiteral("Vertical Ruler"), [this] { mnuVRuler_Click(); });
    mnu45Angle = addMenuItem("mnu45Angle", QStringLiteral("45-Angle"), [this] { mnu45Angle_Click(); });
    mnuNormalSize = addMenuItem("mnuNormalSize", QStringLiteral("Normal Size"), [this] { mnuNormalSize_Click(); });
    mnuPicture = addMenuItem("mnuPicture", QStringLiteral("Display Picture"), [this] { mnuPicture_Click(); });
    mnusep = addMenuSeparator("mnusep");
    mnuHelp = addMenuItem("mnuHelp", QStringLiteral("Help"), [this] { mnuHelp_Click(); });
    mnuAbout = addMenuItem("mnuAbout", QStringLiteral("About"), [this] { mnuAbout_Click(); });

    // The control collection in its fixed order: controls, the dialog, the menus.
    m_collection.push_back(std::make_unique<WidgetLayoutControl>(Image1));
    m_collection.push_back(std::make_unique<WidgetLayoutControl>(lblTip, lblTip));
    for (int i = 0; i < 2 + 9; ++i) // dlgCommonDialog, mnuFile and its nine entries
        m_collection.push_back(std::make_unique<MemberlessControl>());
}

frmRuler::~frmRuler() = default;

std::vector<LayoutControl *> frmRuler::controls() const
{
    std::vector<LayoutControl *> out;
    for (const auto &c : m_collection)
        out.push_back(c.get());
    return out;
}

void frmRuler::RecordLayout()
{
    zentyr::RecordLayout(
        records, controls(), [this] { return scaleWidthTwips(); }, [this] { return scaleHeightTwips(); });
}

void frmRuler::ApplyLayout()
{
    zentyr::ApplyLayout(
        records, controls(), [this] { return scaleWidthTwips(); }, [this] { return scaleHeightTwips(); });
}

// Recorded while Image1 covers the client area, so a chosen picture keeps covering
// the ruler "instead of the default graphic".
void frmRuler::Form_Initialize()
{
    setGeometryTwips(Image1, 0, 0, scaleWidthTwips(), scaleHeightTwips());
    RecordLayout();
}

void frmRuler::Form_Load()
{
    if (rulerHost().previousInstanceGuard())
        return;
    loadPlacement(11500, 1100);
}

void frmRuler::Form_Resize()
{
    if (!Image1)
        return; // no controls to fit yet
    setGeometryTwips(Image1, 0, 0, scaleWidthTwips(), scaleHeightTwips());
    ApplyLayout();
}

void frmRuler::Image1_MouseDown(int button, int, float, float) { rulerMouseDown(mnuFile, button); }

void frmRuler::Image1_MouseMove(int button, int, float x, float y)
{
    trackPointer(Image1->pos() + QPointF(x / twipsPerPixelX(), y / twipsPerPixelY()), rulerMouseMove(this, button));
    lblTip->setVisible(false);
}

void frmRuler::mnuHideRuler_Click() { hideRuler(); }
void frmRuler::mnuMetricruler_Click() { showForm<frmRulerMetric>(); }
void frmRuler::mnuVRuler_Click() { showForm<frmVRuler>(); }
void frmRuler::mnu45Angle_Click() { showForm<frm45Angle>(); }
void frmRuler::mnuNormalSize_Click() { normalSize(12000, 1100, true); }
void frmRuler::mnuHelp_Click() { rulerHost().showInfoScreen(); }
void frmRuler::mnuAbout_Click() { rulerHost().showInfoScreen(); }

} // namespace zentyr

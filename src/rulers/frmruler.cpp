// SPDX-License-Identifier: MIT
#include "rulers/frmruler.h"
#include "artwork/palette.h"
#include "platform/forms/controls.h"
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

void RulerImage::mouseMoveEvent(QMouseEvent *e)
{
    m_form->Image1_MouseMove(e->buttons(), e->modifiers(), e->position());
}

frmRuler::frmRuler() : RulerForm(rulerDesign(RulerId::Standard))
{
    client()->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25));

    Image1 = new RulerImage(this);
    setGeometryTwips(Image1, {0, 0, 975, 615});

    lblTip = new Label(client(), QStringLiteral("lblTip"));
    setGeometryTwips(lblTip, {1080, 720, 2535, 255});
    lblTip->setFont(client()->font());
    lblTip->setColors(QColor(0, 0, 0), artwork::palette::HelpBack);
    lblTip->setAlignment(Qt::AlignHCenter);
    lblTip->setCaption(QStringLiteral("Right click ruler for options"));
}

// Recorded while Image1 covers the client area, so a chosen picture keeps covering
// the ruler "instead of the default graphic".
void frmRuler::Form_Initialize()
{
    Image1->setGeometry(client()->rect());
    RecordLayout(records, client());
}

void frmRuler::Form_Load()
{
    if (rulerHost.previousInstanceGuard())
        return;
    RulerForm::Form_Load();
}

void frmRuler::Form_Resize()
{
    Image1->setGeometry(client()->rect());
    ApplyLayout(records, client());
}

// The ruler's own mouse rules, at the same point of the client area, then the tip goes.
void frmRuler::Image1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF pos)
{
    Form_MouseMove(buttons, mods, Image1->pos() + pos);
    lblTip->setVisible(false);
}

} // namespace zentyr

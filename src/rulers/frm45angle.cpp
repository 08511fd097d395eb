// SPDX-License-Identifier: MIT
#include "rulers/frm45angle.h"
#include "artwork/palette.h"
#include "platform/forms/controls.h"
#include "platform/forms/region.h"
#include "platform/forms/twips.h"
#include "platform/system/desktopsession.h"

#include <QPainter>
#include <cmath>

namespace zentyr {

// The outline: one polygon in 1/96 inch from the outer top left corner.
static const UnitPolygon angleVertexTable{QPointF(0, 430), QPointF(0, 430), QPointF(440, 0), QPointF(440, 430),
                                          QPointF(0, 430)};

frm45Angle::frm45Angle() : RulerForm(rulerDesign(RulerId::Angle))
{
    // Where the display server takes the region for input only and shows the whole
    // rectangle, the window paints nothing outside its triangle.
    if (!windowSystemCutsMasks())
        setAttribute(Qt::WA_TranslucentBackground);

    auto *note = new Label(client(), QStringLiteral("Label1"));
    setGeometryTwips(note, {2280, 6120, 3735, 255});
    note->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    note->setColors(QColor(0, 0, 0));
    note->setCaption(QStringLiteral("(45-Angle Ruler is under development)"));
}

QRegion frm45Angle::CreateAngleRegion(float ScaleX, float ScaleY, short OffsetX, short OffsetY)
{
    // Filled by the alternate (even-odd) rule.
    hRgn = QRegion(regionPoints(angleVertexTable, ScaleX, ScaleY, OffsetX, OffsetY, twipsPerPixelX(), twipsPerPixelY()),
                   Qt::OddEvenFill);
    return hRgn;
}

// No placement of its own: the design's position, an ordinary window shaped to its triangle.
void frm45Angle::Form_Load()
{
    const QPoint clientTopLeft = primaryScreenPixels().topLeft() + QPoint(twipsToPixelsX(2715), twipsToPixelsY(780));
    move(clientTopLeft - QPoint(borderPixels(), borderPixels()));
    setMask(CreateAngleRegion(1.0f, 1.0f, 0, 0));
}

// Where the region does not clip, only the frame's part inside it is painted.
void frm45Angle::paintEvent(QPaintEvent *e)
{
    if (!testAttribute(Qt::WA_TranslucentBackground))
        return Form::paintEvent(e);
    QPainter p(this);
    p.setClipRegion(hRgn);
    p.fillRect(rect(), palette().color(QPalette::Button));
}

// The mask's edge is stepped; a smooth line along the long side hides the steps.
// Where the region does not clip, the triangle itself is filled instead of the client.
void frm45Angle::paintClient(QPainter &p, const QRect &clientRect)
{
    const bool shaped = testAttribute(Qt::WA_TranslucentBackground);
    if (!shaped)
        p.fillRect(clientRect, backColor());
    if (hRgn.isEmpty())
        return; // not loaded yet
    const QPolygon outline = regionPoints(angleVertexTable, 1.0f, 1.0f, 0, 0, twipsPerPixelX(), twipsPerPixelY());
    const QPointF origin(borderPixels(), borderPixels());
    p.setRenderHint(QPainter::Antialiasing);
    if (shaped) {
        p.setPen(Qt::NoPen);
        p.setBrush(backColor());
        p.drawPolygon(QPolygonF(outline).translated(-origin));
    }
    // A band just inside the edge covers the mask's steps; its inner side is smooth.
    const QLineF edge(QPointF(outline[1]) - origin, QPointF(outline[2]) - origin);
    const QLineF normal = edge.normalVector().unitVector();
    const QPointF inward(std::abs(normal.dx()), std::abs(normal.dy())); // the triangle lies below and right of it
    p.setPen(QPen(artwork::palette::LowerBand, 2.5));
    p.drawLine(edge.translated(inward));
}

} // namespace zentyr

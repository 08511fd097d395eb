// SPDX-License-Identifier: MIT
#include "platform/forms/placement.h"
#include "platform/forms/twips.h"

#include <algorithm>

namespace zentyr {

QRect loadPlacementPixels(const QRect &outer, QPoint origin, double twipsPerPixelX, double twipsPerPixelY)
{
    const double d = 12.0;
    return QRect(origin.x() + roundHalfEven((outer.x() - origin.x()) * twipsPerPixelX / d),
                 origin.y() + roundHalfEven((outer.y() - origin.y()) * twipsPerPixelY / d),
                 roundHalfEven(outer.width() * twipsPerPixelX / d), roundHalfEven(outer.height() * twipsPerPixelY / d));
}

QPoint centredPixels(const QRect &screen, QSize size)
{
    return {screen.x() + roundHalfEven((screen.width() - size.width()) / 2.0),
            screen.y() + roundHalfEven((screen.height() - size.height()) / 2.0)};
}

QRect resizedGeometry(const QRect &start, Qt::Edges edges, QPoint delta, QSize minimum)
{
    // right() and bottom() are the last pixel column and row, one short of the far edge.
    QRect r = start;
    if (edges & Qt::LeftEdge)
        r.setLeft(std::min(r.left() + delta.x(), r.right() + 1 - minimum.width()));
    if (edges & Qt::RightEdge)
        r.setRight(std::max(r.right() + delta.x(), r.left() - 1 + minimum.width()));
    if (edges & Qt::TopEdge)
        r.setTop(std::min(r.top() + delta.y(), r.bottom() + 1 - minimum.height()));
    if (edges & Qt::BottomEdge)
        r.setBottom(std::max(r.bottom() + delta.y(), r.top() - 1 + minimum.height()));
    return r;
}

Qt::Edges resizeEdgesAt(QSize window, int border, QPoint pos)
{
    const int corner = 16;
    const int w = window.width(), h = window.height();
    const bool onSide = pos.x() < border || pos.x() >= w - border;
    const bool onTopOrBottom = pos.y() < border || pos.y() >= h - border;
    // Along the top or bottom a corner reaches in from the sides, along the sides from the top and bottom.
    const int reachX = onTopOrBottom ? corner : border, reachY = onSide ? corner : border;
    Qt::Edges e;
    if (pos.x() < reachX)
        e |= Qt::LeftEdge;
    if (pos.x() >= w - reachX)
        e |= Qt::RightEdge;
    if (pos.y() < reachY)
        e |= Qt::TopEdge;
    if (pos.y() >= h - reachY)
        e |= Qt::BottomEdge;
    return e;
}

} // namespace zentyr

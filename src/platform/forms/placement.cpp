// SPDX-License-Identifier: MIT
#include "platform/forms/placement.h"
#include "platform/forms/twips.h"

#include <algorithm>

namespace zentyr {

QRect loadPlacementPixels(const QRect &outer, QPoint primaryTopLeft, double twipsPerPixelX, double twipsPerPixelY)
{
    const double d = 12.0;
    const QPoint origin = primaryTopLeft;
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
    int left = start.left();
    int top = start.top();
    int right = start.left() + start.width();
    int bottom = start.top() + start.height();
    if (edges & Qt::LeftEdge)
        left = std::min(left + delta.x(), right - minimum.width());
    if (edges & Qt::RightEdge)
        right = std::max(right + delta.x(), left + minimum.width());
    if (edges & Qt::TopEdge)
        top = std::min(top + delta.y(), bottom - minimum.height());
    if (edges & Qt::BottomEdge)
        bottom = std::max(bottom + delta.y(), top + minimum.height());
    return QRect(left, top, right - left, bottom - top);
}

Qt::Edges resizeEdgesAt(QSize window, int border, QPoint pos)
{
    const int corner = 16;
    const int w = window.width(), h = window.height();
    const bool nearLeft = pos.x() < border, nearRight = pos.x() >= w - border;
    const bool nearTop = pos.y() < border, nearBottom = pos.y() >= h - border;
    if (!(nearLeft || nearRight || nearTop || nearBottom))
        return {};
    Qt::Edges e;
    if (nearLeft || ((nearTop || nearBottom) && pos.x() < corner))
        e |= Qt::LeftEdge;
    if (nearRight || ((nearTop || nearBottom) && pos.x() >= w - corner))
        e |= Qt::RightEdge;
    if (nearTop || ((nearLeft || nearRight) && pos.y() < corner))
        e |= Qt::TopEdge;
    if (nearBottom || ((nearLeft || nearRight) && pos.y() >= h - corner))
        e |= Qt::BottomEdge;
    return e;
}

} // namespace zentyr

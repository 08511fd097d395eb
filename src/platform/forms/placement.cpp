#include "platform/forms/placement.h"
#include "platform/forms/twips.h"

#include <algorithm>

namespace zentyr {

QRect loadPlacementPixels(float left, float top, float width, float height)
{
    const double d = 12.0;
    return QRect(roundHalfEven(left / d), roundHalfEven(top / d), roundHalfEven(width / d),
                 roundHalfEven(height / d));
}

float centredTwips(float screenTwips, float sizeTwips)
{
    return (screenTwips - sizeTwips) / 2.0f;
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

} // namespace zentyr

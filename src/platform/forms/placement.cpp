// SPDX-License-Identifier: MIT
#include "platform/forms/placement.h"
#include "platform/forms/twips.h"

#include <algorithm>

namespace zentyr {

QRect loadPlacementPixels(float left, float top, float width, float height, QPoint primaryTopLeft)
{
    const double d = 12.0;
    return QRect(primaryTopLeft.x() + roundHalfEven(left / d), primaryTopLeft.y() + roundHalfEven(top / d),
                 roundHalfEven(width / d), roundHalfEven(height / d));
}

float centredTwips(float screenTwips, float sizeTwips) { return (screenTwips - sizeTwips) / 2.0f; }

int twipsToDesktopPixels(float twips, int primaryOrigin, double twipsPerPixel)
{
    return primaryOrigin + roundHalfEven(twips / twipsPerPixel);
}

float desktopPixelsToTwips(int pixels, int primaryOrigin, double twipsPerPixel)
{
    return static_cast<float>((pixels - primaryOrigin) * twipsPerPixel);
}

QPoint centredPixels(const QRect &screen, QSizeF sizeTwips, double twipsPerPixelX, double twipsPerPixelY)
{
    const float left = centredTwips(static_cast<float>(screen.width() * twipsPerPixelX), float(sizeTwips.width()));
    const float top = centredTwips(static_cast<float>(screen.height() * twipsPerPixelY), float(sizeTwips.height()));
    return {screen.x() + roundHalfEven(left / twipsPerPixelX), screen.y() + roundHalfEven(top / twipsPerPixelY)};
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

// SPDX-License-Identifier: MIT
#include "platform/forms/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace zentyr {

int roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    // The default rounding mode is to nearest, halves to even.
    using Limits = std::numeric_limits<int>;
    return static_cast<int>(std::clamp(std::nearbyint(value), double(Limits::min()), double(Limits::max())));
}

static double logicalDpi(bool x)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    const double dpi = x ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : 96.0;
}

double twipsPerPixelX() { return 1440.0 / logicalDpi(true); }
double twipsPerPixelY() { return 1440.0 / logicalDpi(false); }

int twipsToPixelsX(double twips) { return roundHalfEven(twips / twipsPerPixelX()); }
int twipsToPixelsY(double twips) { return roundHalfEven(twips / twipsPerPixelY()); }

QSize twipsToPixels(QSizeF twips) { return {twipsToPixelsX(twips.width()), twipsToPixelsY(twips.height())}; }

QRect twipsToPixels(const QRectF &twips)
{
    return {twipsToPixelsX(twips.x()), twipsToPixelsY(twips.y()), twipsToPixelsX(twips.width()),
            twipsToPixelsY(twips.height())};
}

} // namespace zentyr

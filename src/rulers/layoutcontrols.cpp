// SPDX-License-Identifier: MIT
#include "rulers/layoutcontrols.h"
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"

#include <cmath>

namespace zentyr {

std::optional<float> WidgetLayoutControl::left() const
{
    if (!m_widget)
        return std::nullopt;
    return static_cast<float>(pixelsToTwipsX(m_widget->x()));
}
std::optional<float> WidgetLayoutControl::top() const
{
    if (!m_widget)
        return std::nullopt;
    return static_cast<float>(pixelsToTwipsY(m_widget->y()));
}
std::optional<float> WidgetLayoutControl::width() const
{
    if (!m_widget)
        return std::nullopt;
    return static_cast<float>(pixelsToTwipsX(m_widget->width()));
}
std::optional<float> WidgetLayoutControl::height() const
{
    if (!m_widget)
        return std::nullopt;
    return static_cast<float>(pixelsToTwipsY(m_widget->height()));
}

std::optional<float> WidgetLayoutControl::fontSize() const
{
    if (!m_label)
        return std::nullopt;
    return static_cast<float>(m_label->fontSize());
}

bool WidgetLayoutControl::move(float l, float t, float w, float h)
{
    if (!m_widget || w < 0 || h < 0)
        return false;
    // Pixel values beyond what a window system takes are an invalid value, not a move.
    const double limit = 1 << 24;
    if (std::abs(l / twipsPerPixelX()) > limit || std::abs(t / twipsPerPixelY()) > limit || w / twipsPerPixelX() > limit
        || h / twipsPerPixelY() > limit)
        return false;
    setGeometryTwips(m_widget, l, t, w, h);
    return true;
}

bool WidgetLayoutControl::setFontSize(float points)
{
    // Sizes the toolkit cannot take fail the step.
    if (!m_label || !(points > 0.0f) || points > 16384.0f)
        return false;
    m_label->setFontSize(points);
    return true;
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "rulers/layout.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace zentyr {

namespace {
// A quotient that would raise an error (division by zero, overflow) fails its step.
std::optional<float> quotient(std::optional<float> num, float den)
{
    if (!num || den == 0.0f)
        return std::nullopt;
    const float q = *num / den;
    if (!std::isfinite(q))
        return std::nullopt;
    return q;
}

std::optional<float> product(float a, float b)
{
    const float p = a * b;
    if (!std::isfinite(p))
        return std::nullopt;
    return p;
}

// The loop counter is a 16-bit signed integer.
std::size_t loopCount(std::size_t n)
{
    return std::min<std::size_t>(n, static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()) + 1);
}
} // namespace

void RecordLayout(LayoutRecords &r, const std::vector<LayoutControl *> &controls, const ClientSize &clientWidth,
                  const ClientSize &clientHeight)
{
    const std::size_t n = controls.size();
    r.ControlLayouts.assign(n, ControlLayout{});
    r.FontRatios.assign(n, 0.0f);
    for (std::size_t i = 0; i < loopCount(n); ++i) {
        LayoutControl *c = controls[i];
        ControlLayout &cl = r.ControlLayouts[i];
        if (!c)
            continue;
        if (auto q = quotient(c->height(), clientHeight()))
            cl.HeightRatio = *q;
        if (auto q = quotient(c->width(), clientWidth()))
            cl.WidthRatio = *q;
        if (auto q = quotient(c->top(), clientHeight()))
            cl.TopRatio = *q;
        if (auto q = quotient(c->left(), clientWidth()))
            cl.LeftRatio = *q;
        if (auto q = quotient(c->fontSize(), clientWidth()))
            r.FontRatios[i] = *q;
    }
}

void ApplyLayout(const LayoutRecords &r, const std::vector<LayoutControl *> &controls, const ClientSize &clientWidth,
                 const ClientSize &clientHeight)
{
    const std::size_t n = controls.size();
    for (std::size_t i = 0; i < loopCount(n); ++i) {
        LayoutControl *c = controls[i];
        if (!c)
            continue;
        if (i < r.ControlLayouts.size()) {
            const ControlLayout &cl = r.ControlLayouts[i];
            const auto l = product(clientWidth(), cl.LeftRatio);
            const auto t = product(clientHeight(), cl.TopRatio);
            const auto w = product(clientWidth(), cl.WidthRatio);
            const auto h = product(clientHeight(), cl.HeightRatio);
            if (l && t && w && h)
                c->move(*l, *t, *w, *h);
        }
        if (i < r.FontRatios.size()) {
            if (const auto size = product(clientWidth(), r.FontRatios[i]))
                c->setFontSize(*size);
        }
    }
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "rulers/layout.h"
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"

#include <algorithm>

namespace zentyr {

static float ratio(int part, int whole) { return whole == 0 ? 0.0f : float(part) / float(whole); }

ControlLayout controlRatios(const QRect &control, QSize client)
{
    return {ratio(control.height(), client.height()), ratio(control.width(), client.width()),
            ratio(control.y(), client.height()), ratio(control.x(), client.width())};
}

QRectF laidOut(const ControlLayout &r, QSize client)
{
    const auto w = float(client.width());
    const auto h = float(client.height());
    return {w * r.LeftRatio, h * r.TopRatio, w * r.WidthRatio, h * r.HeightRatio};
}

void RecordLayout(LayoutRecords &records, const std::vector<LayoutControl> &controls, QSize client)
{
    records = {};
    for (const LayoutControl &c : controls) {
        records.ControlLayouts.push_back(controlRatios(c.widget->geometry(), client));
        const double points = c.fontOwner ? c.fontOwner->fontSize() : 0.0;
        records.FontRatios.push_back(client.width() == 0 ? 0.0f : float(points) / float(client.width()));
    }
}

void ApplyLayout(const LayoutRecords &records, const std::vector<LayoutControl> &controls, QSize client)
{
    const std::size_t n = std::min(controls.size(), records.ControlLayouts.size());
    for (std::size_t i = 0; i < n; ++i) {
        const QRectF r = laidOut(records.ControlLayouts[i], client);
        controls[i].widget->setGeometry(roundHalfEven(r.x()), roundHalfEven(r.y()), roundHalfEven(r.width()),
                                        roundHalfEven(r.height()));
        const float points = float(client.width()) * records.FontRatios[i];
        if (controls[i].fontOwner && points > 0.0f)
            controls[i].fontOwner->setFontSize(points);
    }
}

} // namespace zentyr

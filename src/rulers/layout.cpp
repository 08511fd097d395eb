// SPDX-License-Identifier: MIT
#include "rulers/layout.h"
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"

#include <algorithm>

namespace zentyr {

static float ratio(double part, int whole) { return whole == 0 ? 0.0f : float(part) / float(whole); }

void RecordLayout(LayoutRecords &records, const std::vector<LayoutControl> &controls, QSize client)
{
    records = {};
    for (const LayoutControl &c : controls) {
        const QRect g = c.widget->geometry();
        records.ControlLayouts.push_back({ratio(g.height(), client.height()), ratio(g.width(), client.width()),
                                          ratio(g.y(), client.height()), ratio(g.x(), client.width())});
        records.FontRatios.push_back(ratio(c.fontOwner ? c.fontOwner->fontSize() : 0.0, client.width()));
    }
}

void ApplyLayout(const LayoutRecords &records, const std::vector<LayoutControl> &controls, QSize client)
{
    const std::size_t n = std::min(controls.size(), records.ControlLayouts.size());
    for (std::size_t i = 0; i < n; ++i) {
        // Single-precision products, unrounded until they become pixels.
        const ControlLayout &r = records.ControlLayouts[i];
        const auto w = float(client.width()), h = float(client.height());
        controls[i].widget->setGeometry(roundHalfEven(w * r.LeftRatio), roundHalfEven(h * r.TopRatio),
                                        roundHalfEven(w * r.WidthRatio), roundHalfEven(h * r.HeightRatio));
        const float points = w * records.FontRatios[i];
        if (controls[i].fontOwner && points > 0.0f)
            controls[i].fontOwner->setFontSize(points);
    }
}

} // namespace zentyr

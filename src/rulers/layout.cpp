// SPDX-License-Identifier: MIT
#include "rulers/layout.h"
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"

#include <algorithm>

namespace zentyr {

static float ratio(double part, int whole) { return whole == 0 ? 0.0f : float(part) / float(whole); }

void RecordLayout(LayoutRecords &records, const QWidget *client)
{
    records = {};
    const int w = client->width(), h = client->height();
    for (const QWidget *c : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect g = c->geometry();
        records.ControlLayouts.push_back({ratio(g.height(), h), ratio(g.width(), w), ratio(g.y(), h), ratio(g.x(), w)});
        records.FontRatios.push_back(ratio(qobject_cast<const Label *>(c) ? c->font().pointSizeF() : 0.0, w));
    }
}

void ApplyLayout(const LayoutRecords &records, const QWidget *client)
{
    const QList<QWidget *> controls = client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const std::size_t n = std::min(std::size_t(controls.size()), records.ControlLayouts.size());
    for (std::size_t i = 0; i < n; ++i) {
        // Single-precision products, unrounded until they become pixels.
        const ControlLayout &r = records.ControlLayouts[i];
        const auto w = float(client->width()), h = float(client->height());
        controls[i]->setGeometry(roundHalfEven(w * r.LeftRatio), roundHalfEven(h * r.TopRatio),
                                 roundHalfEven(w * r.WidthRatio), roundHalfEven(h * r.HeightRatio));
        const float points = w * records.FontRatios[i];
        if (points > 0.0f) {
            QFont f = controls[i]->font();
            f.setPointSizeF(points);
            controls[i]->setFont(f);
        }
    }
}

} // namespace zentyr

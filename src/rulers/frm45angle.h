// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/rulerform.h"

#include <QRegion>

namespace zentyr {

// The angle ruler: an ordinary (not topmost) window cut to a right triangle by its region.
class frm45Angle : public RulerForm {
    Q_OBJECT
public:
    frm45Angle();

    QRegion hRgn;

    QRegion CreateAngleRegion(float ScaleX, float ScaleY, short OffsetX, short OffsetY);

    void paintClient(QPainter &p, const QRect &clientRect) override;

protected:
    void paintEvent(QPaintEvent *e) override;
    void Form_Load() override;
};

} // namespace zentyr

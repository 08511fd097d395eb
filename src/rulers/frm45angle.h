#pragma once
#include "rulers/rulerform.h"

#include <QRegion>

namespace zentyr {

class Label;

// The outline in 1/96 inch, as the design tables it.
const std::vector<std::vector<QPointF>> &angleVertexTable();

class frm45Angle : public RulerForm {
    Q_OBJECT
public:
    frm45Angle();

    Label *Label2, *Label1;
    QAction *mnuHide45Angle, *mnuHelp;
    QRegion hRgn;

    QRegion CreateAngleRegion(float ScaleX, float ScaleY, short OffsetX, short OffsetY);
    void mnuHide45Angle_Click();
    void mnuHelp_Click();

    void paintClient(QPainter &p, const QRect &clientRect) override;

protected:
    void Form_Load() override;
    void Form_Unload() override;
};

} // namespace zentyr

#include "rulers/frmrulermetric.h"
#include "app/forms.h"
#include "app/module1.h"
#include "artwork/artwork.h"
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"
#include "rulers/frmruler.h"

#include <QPainter>

namespace zentyr {

frmRulerMetric::frmRulerMetric() : RulerForm(QStringLiteral("frmRulerMetric"), QSizeF(10260, 1050))
{
    setShowInTaskbar(false);
    setScale(artwork::Picture::MetricScale);
    setBackColor(QColor(0xFF, 0x80, 0x00));

    Label1 = new Label(client(), QStringLiteral("Label1"));
    setGeometryTwips(Label1, 0, 720, 1095, 255);
    Label1->setFont(designFont(QStringLiteral("Arial"), 10.5, true));
    Label1->setForeColor(QColor(0xFF, 0xFF, 0x00));
    Label1->setTransparent(true);
    Label1->setAlignment(Qt::AlignHCenter);
    Label1->setCaption(QStringLiteral("Zentyr"));

    mnuHideMetricRuler = addMenuItem("mnuHideMetricRuler", QStringLiteral("Hide Metric Ruler"),
                                     [this] { mnuHideMetricRuler_Click(); });
    mnuRegularRuler = addMenuItem("mnuRegularRuler", QStringLiteral("Standard Ruler"), [this] { mnuRegularRuler_Click(); });
    mnuNormalSize = addMenuItem("mnuNormalSize", QStringLiteral("Normal Size"), [this] { mnuNormalSize_Click(); });
    mnuHelp = addMenuItem("mnuHelp", QStringLiteral("Help"), [this] { mnuHelp_Click(); });
}

void frmRulerMetric::Form_Load() { loadPlacement(12000, 1100); }


void frmRulerMetric::mnuHideMetricRuler_Click() { hideRuler(); }
void frmRulerMetric::mnuRegularRuler_Click() { showForm<frmRuler>(); }
void frmRulerMetric::mnuNormalSize_Click() { normalSize(12000, 1100, false); }
void frmRulerMetric::mnuHelp_Click() { ShowInfoScreen(); }

} // namespace zentyr

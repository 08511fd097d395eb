// SPDX-License-Identifier: MIT
#include "rulers/frmrulermetric.h"
#include "platform/forms/formregistry.h"
#include "artwork/artwork.h"
#include "artwork/palette.h"
#include "platform/forms/controls.h"
#include "rulers/frmruler.h"
#include "rulers/rulerhost.h"

namespace zentyr {

frmRulerMetric::frmRulerMetric() : RulerForm(QStringLiteral("frmRulerMetric"), QSizeF(10260, 1050))
{
    setShowInTaskbar(false);
    setWindowKind(WindowKind::Utility);
    setScale(artwork::Picture::MetricScale);
    setBackColor(artwork::palette::RulerWindow);

    Label1 = new Label(client(), QStringLiteral("Label1"));
    setGeometryTwips(Label1, 0, 720, 1095, 255);
    Label1->setFont(designFont(QStringLiteral("Arial"), 10.5, true));
    Label1->setForeColor(artwork::palette::ProductWord);
    Label1->setTransparent(true);
    Label1->setAlignment(Qt::AlignHCenter);
    Label1->setCaption(QStringLiteral("Zentyr"));

    mnuHideMetricRuler = addMenuItem("mnuHideMetricRuler", QStringLiteral("Hide Metric Ruler"),
                                     [this] { mnuHideMetricRuler_Click(); });
    mnuRegularRuler
        = addMenuItem("mnuRegularRuler", QStringLiteral("Standard Ruler"), [this] { mnuRegularRuler_Click(); });
    mnuNormalSize = addMenuItem("mnuNormalSize", QStringLiteral("Normal Size"), [this] { mnuNormalSize_Click(); });
    mnuHelp = addMenuItem("mnuHelp", QStringLiteral("Help"), [this] { mnuHelp_Click(); });
}

void frmRulerMetric::Form_Load() { loadPlacement(12000, 1100); }

void frmRulerMetric::mnuHideMetricRuler_Click() { hideRuler(); }
void frmRulerMetric::mnuRegularRuler_Click() { showForm<frmRuler>(); }
void frmRulerMetric::mnuNormalSize_Click() { normalSize(12000, 1100, false); }
void frmRulerMetric::mnuHelp_Click() { rulerHost().showInfoScreen(); }

} // namespace zentyr

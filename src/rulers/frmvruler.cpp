// SPDX-License-Identifier: MIT
#include "rulers/frmvruler.h"
#include "platform/forms/formregistry.h"
#include "artwork/artwork.h"
#include "artwork/palette.h"
#include "rulers/frmruler.h"
#include "rulers/rulerhost.h"

namespace zentyr {

frmVRuler::frmVRuler() : RulerForm(QStringLiteral("frmVRuler"), QSizeF(1140, 8880))
{
    setShowInTaskbar(false);
    setWindowKind(WindowKind::Utility);
    setScale(artwork::Picture::VerticalScale);
    setBackColor(artwork::palette::RulerWindow);
    mnuHideVRuler
        = addMenuItem("mnuHideVRuler", QStringLiteral("Hide Vertical Ruler"), [this] { mnuHideVRuler_Click(); });
    mnuRegularRuler
        = addMenuItem("mnuRegularRuler", QStringLiteral("Standard Ruler"), [this] { mnuRegularRuler_Click(); });
    mnuNormalSize = addMenuItem("mnuNormalSize", QStringLiteral("Normal Size"), [this] { mnuNormalSize_Click(); });
    mnuHelp = addMenuItem("mnuHelp", QStringLiteral("Help"), [this] { mnuHelp_Click(); });
}

void frmVRuler::Form_Load() { loadPlacement(1200, 12000); }

void frmVRuler::mnuHideVRuler_Click() { hideRuler(); }
void frmVRuler::mnuRegularRuler_Click() { showForm<frmRuler>(); }
void frmVRuler::mnuNormalSize_Click() { normalSize(1200, 12000, true); }
void frmVRuler::mnuHelp_Click() { rulerHost().showInfoScreen(); }

} // namespace zentyr

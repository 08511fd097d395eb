// SPDX-License-Identifier: MIT
// The four rulers' designs and the commands of their menus.
#include "artwork/palette.h"
#include "rulers/frm45angle.h"
#include "rulers/frmruler.h"
#include "rulers/rulerhost.h"

namespace zentyr {

namespace {

using RulerCommand = Command<RulerForm>;

// Hide unloads: the next open starts from the design again.
void hide(RulerForm &ruler) { ruler.unload(); }
void normalSize(RulerForm &ruler) { ruler.normalSize(); }
void help(RulerForm &) { rulerHost.showInfoScreen(); }
void picture(RulerForm &ruler) { static_cast<frmRuler &>(ruler).mnuPicture_Click(); }

const RulerCommand standardMenu[] = {
    {"mnuHideRuler", "Hide Ruler", hide},
    {"mnuMetricruler", "Metric Ruler", showFormCommand<frmRulerMetric>},
    {"mnuVRuler", "Vertical Ruler", showFormCommand<frmVRuler>},
    {"mnu45Angle", "45-Angle", showFormCommand<frm45Angle>},
    {"mnuNormalSize", "Normal Size", normalSize},
    {"mnuPicture", "Display Picture", picture},
    {"mnusep"},
    {"mnuHelp", "Help", help},
    {"mnuAbout", "About", help},
};

const RulerCommand metricMenu[] = {
    {"mnuHideMetricRuler", "Hide Metric Ruler", hide},
    {"mnuRegularRuler", "Standard Ruler", showFormCommand<frmRuler>},
    {"mnuNormalSize", "Normal Size", normalSize},
    {"mnuHelp", "Help", help},
};

const RulerCommand verticalMenu[] = {
    {"mnuHideVRuler", "Hide Vertical Ruler", hide},
    {"mnuRegularRuler", "Standard Ruler", showFormCommand<frmRuler>},
    {"mnuNormalSize", "Normal Size", normalSize},
    {"mnuHelp", "Help", help},
};

const RulerCommand angleMenu[] = {
    {"mnuHide45Angle", "Hide 45Angle", hide},
    {"mnuHelp", "Help", help},
};

using artwork::Picture;
namespace palette = artwork::palette;

// One row per ruler: name; client size; whether it is topmost; load size and Normal Size, and whether
// Normal Size centres it (sizes in twips); its scale (picture, zero tick in its units, vertical, metric;
// the angle ruler paints its own client instead) and colour; its name label, where and how aligned;
// its menu; its Page step; its name and kind for screen readers.
// clang-format off
const RulerDesign designs[] = {
    {"frmRuler", {11880, 1035}, true, {11500, 1100}, {12000, 1100}, true,
     readout::Scale{Picture::InchScale, 38, false, false}, QColor(), nullptr, {}, {}, standardMenu,
     PageStep::Down, "Zentyr standard ruler", "Horizontal inch ruler"},
    {"frmRulerMetric", {10260, 1050}, true, {12000, 1100}, {12000, 1100}, false,
     readout::Scale{Picture::MetricScale, 144, false, true}, palette::RulerWindow, "Label1", {0, 720, 1095, 255},
     Qt::AlignHCenter, metricMenu, PageStep::Down, "Zentyr metric ruler", "Horizontal metric ruler"},
    {"frmVRuler", {1140, 8880}, true, {1200, 12000}, {1200, 12000}, true,
     readout::Scale{Picture::VerticalScale, 14603, true, false}, palette::RulerWindow, nullptr, {}, {}, verticalMenu,
     PageStep::Right, "Zentyr vertical ruler", "Vertical ruler"},
    {"frm45Angle", {9555, 7125}, false, {}, {}, false,
     {}, palette::RulerWindow, "Label2", {960, 6120, 1095, 255}, Qt::AlignLeft, angleMenu,
     PageStep::None, "Zentyr angle ruler", "45-degree angle ruler"},
};
// clang-format on

} // namespace

const RulerDesign &rulerDesign(RulerId id) { return designs[static_cast<int>(id)]; }

} // namespace zentyr

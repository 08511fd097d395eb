// SPDX-License-Identifier: MIT
#pragma once
#include "artwork/artwork.h"
#include "platform/forms/commands.h"
#include "platform/forms/form.h"
#include "rulers/readout.h"
#include "rulers/rulerkeys.h"

#include <QRect>
#include <optional>
#include <span>

class QMenu;

namespace zentyr {

class RulerForm;

// What one ruler window is made of; sizes and places are the design's twips.
struct RulerDesign {
    const char *name;
    QSizeF clientTwips;
    // A topmost ruler is placed on top when it loads and ends at its load size; the others stay
    // at their design place, in an ordinary window that takes the focus.
    bool topmost;
    QSizeF loadTwips;
    QSizeF normalTwips;
    bool normalCentres;
    std::optional<readout::Scale> scale; // none: the ruler paints its own client
    QColor backColor;                    // none: the button face
    // The product name in yellow, where the ruler shows it.
    const char *nameLabel;
    QRectF nameLabelTwips;
    Qt::Alignment nameLabelAlignment;
    // The right-click menu, in order.
    std::span<const Command<RulerForm>> menu;
    PageStep pageStep;
    // For screen readers, as the caption stays empty: its name, and what it is.
    const char *accessibleName;
    const char *accessibleKind;
};

enum class RulerId { Standard, Metric, Vertical, Angle };
const RulerDesign &rulerDesign(RulerId id);

// A ruler window built from its design: the frame, the load placement, dragging with
// the left button, the right-click menu and Normal Size.
class RulerForm : public Form {
    Q_OBJECT
public:
    explicit RulerForm(const RulerDesign &design);

    QMenu *mnuFile = nullptr;

    // Width and height to the design's Normal Size; some rulers then centre on their screen.
    void normalSize();
    // The background colour, then the scale at its natural size from the top-left corner.
    void paintClient(QPainter &p, const QRect &clientRect) override;

    const readout::Readout &pointerReadout() const { return m_readout; }

protected:
    void Form_Load() override;
    // The right button opens the menu; a move with the left button alone drags the window, and
    // any other move takes the pointer readout along (pos in client pixels).
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos) override;
    void Form_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF pos) override;
    // The keys of rulerkeys.h, handled beside them in rulerkeys.cpp; the menu keys open the menu at the ruler.
    void keyPressEvent(QKeyEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    // The readout goes when the pointer leaves the client area.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const RulerDesign &m_design;
    readout::Readout m_readout;
};

// A ruler that is its design and nothing more.
template <RulerId Id> class DesignedRuler : public RulerForm {
public:
    DesignedRuler() : RulerForm(rulerDesign(Id)) { }
};

// The metric ruler: the metric scale with the product name, topmost and draggable.
using frmRulerMetric = DesignedRuler<RulerId::Metric>;
// The vertical ruler: the upright inch scale, topmost and draggable.
using frmVRuler = DesignedRuler<RulerId::Vertical>;

} // namespace zentyr

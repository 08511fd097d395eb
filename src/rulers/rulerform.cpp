// SPDX-License-Identifier: MIT
#include "rulers/rulerform.h"
#include "platform/forms/controls.h"
#include "platform/forms/placement.h"
#include "platform/forms/twips.h"
#include "platform/system/drag.h"
#include "platform/system/services.h"
#include "platform/system/windowsystem.h"
#include "artwork/palette.h"

#include <QEvent>
#include <QMenu>
#include <QPainter>

namespace zentyr {

// What a screen reader says of a ruler, whose caption stays empty: its kind and its keys.
static QString accessibleDescriptionOf(const RulerDesign &d)
{
    QString page;
    if (d.pageStep != PageStep::None)
        page = QStringLiteral(", Page Down and Page Up by its %1")
                   .arg(d.pageStep == PageStep::Down ? QStringLiteral("height") : QStringLiteral("width"));
    return QStringLiteral("%1. Arrow keys move it%2; the Menu key opens its menu.")
        .arg(QLatin1String(d.accessibleKind), page);
}

RulerForm::RulerForm(const RulerDesign &design)
    : Form(QString::fromLatin1(design.name), Border::Sizable, design.clientTwips), m_design(design)
{
    if (design.topmost) {
        setShowInTaskbar(false);
        setWindowKind(WindowKind::Utility); // floats on tiling managers
    } else {
        // A dialog floats on tiling managers and, unlike a utility window, keeps its taskbar entry.
        // Opened from a menu, it takes the focus.
        setWindowKind(WindowKind::Dialog);
        setActivateOnShow(true);
    }
    if (design.backColor.isValid())
        setBackColor(design.backColor);
    if (design.nameLabel) {
        auto *label = new Label(client(), QString::fromLatin1(design.nameLabel));
        label->setGeometry(twipsToPixels(design.nameLabelTwips));
        label->setFont(designFont(QStringLiteral("Arial"), 10.5, true));
        label->setColors(artwork::palette::ProductWord);
        label->setAlignment(design.nameLabelAlignment);
        label->setCaption(QStringLiteral("Zentyr"));
    }
    mnuFile = buildMenu<RulerForm>(*this, QStringLiteral("mnuFile"), QStringLiteral("File"), design.menu);
    setAccessibleName(QString::fromLatin1(design.accessibleName));
    setAccessibleDescription(accessibleDescriptionOf(design));
    mnuFile->setAccessibleName(QStringLiteral("%1 menu").arg(accessibleName()));
    // A click gives a ruler the keyboard; opening one does not.
    setFocusPolicy(Qt::ClickFocus);
}

// Topmost at the outer twips divided by 12, shown without activation; then the load size.
void RulerForm::Form_Load()
{
    if (!m_design.topmost)
        return;
    placeTopmost(this,
                 loadPlacementPixels(geometry(), primaryScreenPixels().topLeft(), twipsPerPixelX(), twipsPerPixelY()));
    setOuterSize(twipsToPixels(m_design.loadTwips));
}

void RulerForm::normalSize()
{
    // With several monitors, "the screen" is the one the ruler is on.
    const QRect screen = screenOfCentrePixels();
    setOuterSize(twipsToPixels(m_design.normalTwips));
    if (m_design.normalCentres)
        centreOnScreen(screen);
}

void RulerForm::paintClient(QPainter &p, const QRect &clientRect)
{
    p.fillRect(clientRect, backColor());
    // From the cache: a paint never reruns the vector steps.
    if (m_design.scale)
        p.drawPixmap(QPointF(0, 0),
                     artwork::naturalPixmap(m_design.scale->picture, twipsPerPixelX(), twipsPerPixelY(),
                                            p.device()->devicePixelRatioF()));
    m_readout.paint(p);
}

void RulerForm::Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPointF)
{
    if (button == Qt::RightButton)
        popupMenu(mnuFile);
}

void RulerForm::Form_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPointF pos)
{
    if (buttons == Qt::LeftButton) {
        // The window manager's move where there is one; else the window follows the mouse itself.
        if (!ownDragActive() && !services().startSystemMove(this))
            beginOwnDrag(this);
        // After the window system's move the pointer's leaving may never be reported.
        m_readout.clear(client());
    } else if (m_design.scale) { // the angle ruler has no scale to read
        m_readout.moveTo(client(), *m_design.scale, pos);
    }
}

bool RulerForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == client() && event->type() == QEvent::Leave)
        m_readout.clear(client());
    return Form::eventFilter(watched, event);
}

} // namespace zentyr

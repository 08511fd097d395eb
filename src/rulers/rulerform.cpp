// SPDX-License-Identifier: MIT
#include "rulers/rulerform.h"
#include "platform/forms/placement.h"
#include "platform/forms/twips.h"
#include "platform/system/drag.h"
#include "platform/system/services.h"
#include "platform/system/windowsystem.h"

#include <QEvent>
#include <QMenu>
#include <QPainter>

namespace zentyr {

RulerForm::RulerForm(const QString &name, QSizeF designClientTwips) : Form(name, Border::Sizable, designClientTwips)
{
    mnuFile = new QMenu(QStringLiteral("File"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    client()->installEventFilter(this);
}

QAction *RulerForm::addMenuItem(const char *name, const QString &caption, std::function<void()> command)
{
    QAction *a = mnuFile->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, [command = std::move(command)] { command(); });
    return a;
}

QAction *RulerForm::addMenuSeparator(const char *name)
{
    QAction *a = mnuFile->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void RulerForm::loadPlacement(float loadWidth, float loadHeight)
{
    placeTopmost(
        this,
        loadPlacementPixels(leftTwips(), topTwips(), widthTwips(), heightTwips(), primaryScreenPixels().topLeft()));
    setWidthTwips(loadWidth);
    setHeightTwips(loadHeight);
}

void RulerForm::normalSize(float width, float height, bool centre)
{
    // With several monitors, "the screen" is the one the ruler is on.
    const QRect screen = screenOfCentrePixels();
    setWidthTwips(width);
    setHeightTwips(height);
    if (centre)
        centreOnScreen(screen);
}

void RulerForm::paintClient(QPainter &p, const QRect &clientRect)
{
    p.fillRect(clientRect, backColor());
    // From the cache: a paint never reruns the vector steps.
    p.drawPixmap(QPointF(0, 0),
                 artwork::naturalPixmap(m_scale, twipsPerPixelX(), twipsPerPixelY(), p.device()->devicePixelRatioF()));
    m_readout.paint(p);
}

void rulerMouseDown(QMenu *menu, int button)
{
    if (button == 2)
        popupMenu(menu);
}

bool rulerMouseMove(QWidget *window, int button)
{
    if (button != 1)
        return false;
    // The window manager's move where there is one; else the window follows the mouse itself.
    if (!ownDragActive() && !services().startSystemMove(window))
        beginOwnDrag(window);
    return true;
}

void RulerForm::Form_MouseDown(int button, int, float, float) { rulerMouseDown(mnuFile, button); }

void RulerForm::Form_MouseMove(int button, int, float x, float y)
{
    trackPointer(QPointF(x / twipsPerPixelX(), y / twipsPerPixelY()), rulerMouseMove(this, button));
}

bool RulerForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == client() && event->type() == QEvent::Leave)
        m_readout.clear(client());
    return Form::eventFilter(watched, event);
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
#include "artwork/artwork.h"
#include "platform/forms/form.h"
#include "rulers/readout.h"

#include <functional>

class QMenu;
class QAction;

namespace zentyr {

// What the four ruler windows share: the frame, the load placement, dragging with
// the left button, the right-click menu and the Normal Size, Hide and Help commands.
class RulerForm : public Form {
    Q_OBJECT
public:
    RulerForm(const QString &name, QSizeF designClientTwips);

    QMenu *mnuFile = nullptr;

    // The load placement: topmost at the outer twips divided by 12, shown without
    // activation; then the load size, width first.
    void loadPlacement(float loadWidth, float loadHeight);
    // Width, then height; centring reads both back.
    void normalSize(float width, float height, bool centre);
    void hideRuler() { unload(); }

    // The background colour, then the scale at its natural size from the top-left corner.
    void paintClient(QPainter &p, const QRect &clientRect) override;

    // The pointer readout follows the pointer at pos, in client pixels. A drag takes it away: after
    // the window system's move the pointer's leaving may never be reported.
    void trackPointer(QPointF pos, bool dragging)
    {
        if (dragging)
            m_readout.clear(client());
        else if (m_hasScale) // the angle ruler has no scale to read
            m_readout.moveTo(client(), m_scale, pos);
    }
    const readout::Readout &pointerReadout() const { return m_readout; }

protected:
    void setScale(artwork::Picture scale)
    {
        m_scale = scale;
        m_hasScale = true;
    }
    QAction *addMenuItem(const char *name, const QString &caption, std::function<void()> command);
    QAction *addMenuSeparator(const char *name);

    void Form_MouseDown(int button, int shift, float x, float y) override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    // The readout goes when the pointer leaves the client area.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    artwork::Picture m_scale = artwork::Picture::InchScale;
    bool m_hasScale = false;
    readout::Readout m_readout;
};

// The rulers' shared mouse rules, for the window and for controls with handlers of their own.
void rulerMouseDown(QMenu *menu, int button);
// Returns whether a drag was started.
bool rulerMouseMove(QWidget *window, int button);

} // namespace zentyr

// SPDX-License-Identifier: MIT
#include "platform/system/drag.h"
#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <optional>

namespace zentyr {

namespace {

// The window manager keeps the button release of a move or resize it runs, so Qt would go on
// sending the next clicks to the widget that had the press.
void releaseAfterWindowSystemDrag(QWidget *window)
{
    QWindow *w = window->windowHandle();
    if (!w)
        return;
    const QPointF global = QCursor::pos();
    QCoreApplication::postEvent(w,
                                new QMouseEvent(QEvent::MouseButtonRelease, w->mapFromGlobal(global), global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// Notes where the left button last went down (the first movement is noticed a few pixels later),
// and runs our own move: the window follows the mouse until the left button is released.
class MouseTracker : public QObject {
public:
    MouseTracker() { qApp->installEventFilter(this); }

    QPoint grabPoint() const
    {
        return m_lastPress && (QApplication::mouseButtons() & Qt::LeftButton) ? *m_lastPress : QCursor::pos();
    }

    void beginDrag(QWidget *window)
    {
        if (m_dragged)
            return;
        m_dragged = window;
        m_offset = grabPoint() - window->pos();
    }

    bool dragging() const { return !m_dragged.isNull(); }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        const QEvent::Type type = e->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
            return false;
        const auto *me = static_cast<QMouseEvent *>(e);
        if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton)
            m_lastPress = me->globalPosition().toPoint();
        if (type == QEvent::MouseButtonPress || !m_dragged)
            return false;
        if (type == QEvent::MouseButtonRelease) {
            if (me->button() != Qt::LeftButton)
                return false;
            m_dragged = nullptr;
            return true;
        }
        if (!(me->buttons() & Qt::LeftButton)) {
            m_dragged = nullptr;
            return false;
        }
        m_dragged->move(me->globalPosition().toPoint() - m_offset);
        return true;
    }

private:
    std::optional<QPoint> m_lastPress;
    // The window our own move drags; none once it ends or the window is gone.
    QPointer<QWidget> m_dragged;
    QPoint m_offset;
};

MouseTracker &mouseTracker()
{
    static auto *tracker = new MouseTracker; // for the whole run
    return *tracker;
}

} // namespace

bool startWindowSystemMove(QWidget *window)
{
    QWindow *w = window->windowHandle();
    if (!w || !windowManagerRunning())
        return false;
    // The window manager keeps the pointer's offset from the window as it is when asked, and Qt
    // names the pointer's place relative to where it thinks the window is. Moving the window
    // behind Qt's back by the way the pointer went since the press keeps the grab point under it.
    const QPoint start = window->pos();
    const QPoint travelled = QCursor::pos() - mouseTracker().grabPoint();
    if (!travelled.isNull())
        moveNativeWindow(window, start + travelled);
    if (!w->startSystemMove()) {
        if (!travelled.isNull())
            moveNativeWindow(window, start);
        return false;
    }
    releaseAfterWindowSystemDrag(window);
    return true;
}

bool startWindowSystemResize(QWidget *window, Qt::Edges edges)
{
    QWindow *w = window->windowHandle();
    if (!w || !w->startSystemResize(edges))
        return false;
    releaseAfterWindowSystemDrag(window);
    return true;
}

void beginOwnDrag(QWidget *window) { mouseTracker().beginDrag(window); }

bool ownDragActive() { return mouseTracker().dragging(); }

void trackMousePresses() { mouseTracker(); }

} // namespace zentyr

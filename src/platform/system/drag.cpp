// SPDX-License-Identifier: MIT
#include "platform/system/drag.h"
#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

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

// Where the left button last went down: the first movement is noticed a few pixels later.
class PressTracker : public QObject {
public:
    QPoint lastPress;
    bool valid = false;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
            lastPress = static_cast<QMouseEvent *>(e)->globalPosition().toPoint();
            valid = true;
        }
        return false;
    }
};

PressTracker *pressTracker()
{
    static PressTracker *tracker = [] {
        auto *t = new PressTracker;
        qApp->installEventFilter(t);
        return t;
    }();
    return tracker;
}

QPoint dragGrabPoint()
{
    PressTracker *t = pressTracker();
    return t->valid && (QApplication::mouseButtons() & Qt::LeftButton) ? t->lastPress : QCursor::pos();
}

class OwnDrag : public QObject {
public:
    explicit OwnDrag(QWidget *window) : m_window(window), m_offset(dragGrabPoint() - window->pos())
    {
        qApp->installEventFilter(this);
    }
    static OwnDrag *current;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseMove) {
            auto *me = static_cast<QMouseEvent *>(e);
            if (!m_window || !(me->buttons() & Qt::LeftButton)) {
                finish();
                return false;
            }
            m_window->move(me->globalPosition().toPoint() - m_offset);
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
            finish();
            return true;
        }
        return false;
    }

private:
    void finish()
    {
        qApp->removeEventFilter(this);
        if (current == this)
            current = nullptr;
        deleteLater();
    }
    QPointer<QWidget> m_window;
    QPoint m_offset;
};
OwnDrag *OwnDrag::current = nullptr;

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
    const QPoint travelled = QCursor::pos() - dragGrabPoint();
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

void beginOwnDrag(QWidget *window)
{
    if (!OwnDrag::current)
        OwnDrag::current = new OwnDrag(window);
}

bool ownDragActive() { return OwnDrag::current != nullptr; }

void trackMousePresses() { pressTracker(); }

} // namespace zentyr

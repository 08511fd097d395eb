// SPDX-License-Identifier: MIT
#include "platform/forms/form.h"
#include "platform/forms/placement.h"
#include "platform/forms/twips.h"
#include "platform/system/drag.h"
#include "platform/system/windowsystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace zentyr {

Form::Form(const QString &name, Border border, QSizeF designClientTwips)
    : QWidget(nullptr), m_border(border), m_backColor(palette().color(QPalette::Button))
{
    setObjectName(name);
    setWindowRole(name);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);
    trackMousePresses();
    m_client = new QWidget(this);
    m_client->setMouseTracking(true); // moves without a button are events too
    m_client->setAttribute(Qt::WA_OpaquePaintEvent);
    // Its own pointer: it would otherwise inherit the resize pointer the frame last showed.
    m_client->setCursor(Qt::ArrowCursor);
    m_client->installEventFilter(this);
    const QSize frame(2 * borderPixels(), 2 * borderPixels());
    // The smallest window is its frame with a client area of 0 x 0, for the window manager too.
    setMinimumSize(frame);
    resize(twipsToPixels(designClientTwips) + frame);
    // Form_Resize is for later changes: the derived form does not exist yet.
    fitClient();
}

void Form::setOuterSize(QSize pixels)
{
    resize(pixels.expandedTo(minimumSize()));
    sizeMaybeChanged();
}

void Form::setBackColor(const QColor &c)
{
    m_backColor = c;
    m_client->update();
}

void Form::load()
{
    Form_Initialize();
    // Every form starts centred on the screen; its load handler reads that position.
    centreOnScreen(primaryScreenPixels());
    Form_Load();
}

void Form::showModeless()
{
    if (m_unloading)
        return;
    if (!isVisible()) {
        setAttribute(Qt::WA_ShowWithoutActivating, !m_activateOnShow);
        show();
        // The first focus goes to the first control in tab order that can take it now, as a Tab would.
        if (!focusWidget())
            focusNextChild();
    }
    raiseWindow(this);
    keepTopmostWindowsAbove(this);
    if (m_activateOnShow)
        activateWindow();
}

// The program's topmost windows are kept above a form shown without a window manager by
// showModeless(), after it has raised the form.
void Form::setVisible(bool visible)
{
    // The taskbar hint must be on the native window before it is mapped.
    if (visible && !isVisible())
        applyNativeState();
    QWidget::setVisible(visible);
}

void Form::setWindowKind(WindowKind kind)
{
    m_kind = kind;
    if (internalWinId())
        applyWindowKind(this, kind);
}

// What the program puts on the native window beyond Qt's own flags (the stay-on-top flag and
// the mask are Qt's and follow a new native window by themselves).
void Form::applyNativeState()
{
    applyWindowKind(this, m_kind);
    if (!m_showInTaskbar)
        applyNoTaskbar(this);
    applyEmptyCaption(this);
}

bool Form::event(QEvent *e)
{
    // Qt may replace the native window (flag changes, a new screen); it starts without our state.
    if (e->type() == QEvent::WinIdChange && internalWinId())
        applyNativeState();
    else if (e->type() == QEvent::ScreenChangeInternal)
        screenChanged();
    return QWidget::event(e);
}

// A close from the window manager (Alt+F4, a taskbar's Close) unloads the form as its own
// commands do, so the next reference loads it from its design.
void Form::closeEvent(QCloseEvent *e)
{
    if (!m_unloading && !acceptsWindowSystemClose())
        return e->ignore();
    e->accept();
    unload();
}

OpenForms &OpenForms::instance()
{
    static auto *forms = new OpenForms; // lives until the process ends
    return *forms;
}

bool OpenForms::anyOnScreen()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *f = qobject_cast<Form *>(w);
        if (f && f->isVisible() && !f->isUnloading())
            return true;
    }
    return false;
}

void Form::unload()
{
    if (m_unloading)
        return;
    Form_Unload();
    m_unloading = true;
    hide();
    if (!OpenForms::anyOnScreen())
        emit OpenForms::instance().lastWindowClosed();
    deleteLater(); // handlers of this form may still be on the stack
}

QRect Form::primaryScreenPixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect Form::screenOfCentrePixels() const
{
    if (const QScreen *screen = QGuiApplication::screenAt(geometry().center()))
        return screen->geometry();
    return primaryScreenPixels();
}

void Form::centreOnScreen(const QRect &screenPixels)
{
    if (screenPixels.isEmpty())
        return;
    move(centredPixels(screenPixels, size()));
}

// The window system moves a window to another screen in device pixels: on one with
// another scale factor its logical size changes with it. The size it had before the
// change is put back once the change has been handled.
void Form::screenChanged()
{
    if (!isVisible())
        return;
    const QSize before = size();
    QTimer::singleShot(0, this, [this, before] {
        if (m_unloading || size() == before)
            return;
        resize(before);
        sizeMaybeChanged();
    });
}

void Form::paintClient(QPainter &p, const QRect &clientRect) { p.fillRect(clientRect, m_backColor); }

bool Form::eventFilter(QObject *watched, QEvent *e)
{
    if (watched != m_client)
        return QWidget::eventFilter(watched, e);
    if (e->type() == QEvent::Paint) {
        QPainter p(m_client);
        paintClient(p, m_client->rect());
        return true;
    }
    if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseMove)
        return false;
    // Cast only once the type is known: a downcast to the wrong type is undefined.
    const auto *mouse = static_cast<const QMouseEvent *>(e);
    if (e->type() == QEvent::MouseButtonPress)
        Form_MouseDown(mouse->button(), mouse->modifiers(), mouse->position());
    else
        Form_MouseMove(mouse->buttons(), mouse->modifiers(), mouse->position());
    return true;
}

void Form::sizeMaybeChanged()
{
    if (fitClient())
        Form_Resize();
}

// The client area inside the frame; false when the size has not changed since the last time.
bool Form::fitClient()
{
    const int b = borderPixels();
    const QRect inside = rect().adjusted(b, b, -b, -b);
    if (m_client->geometry() == inside)
        return false;
    m_client->setGeometry(inside);
    return true;
}

void Form::resizeEvent(QResizeEvent *) { sizeMaybeChanged(); }

// A raised 3-D frame: face then light along the top and left, darkest then dark along the bottom and right.
void Form::paintEvent(QPaintEvent *)
{
    if (borderPixels() == 0)
        return;
    QPainter p(this);
    const QPalette &pal = palette();
    const QRect r = rect();
    // Each fill leaves the bottom row and the right column of the one before it showing.
    p.fillRect(r, pal.color(QPalette::Shadow));
    p.fillRect(r.adjusted(0, 0, -1, -1), pal.color(QPalette::Button));
    p.fillRect(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Dark));
    p.fillRect(r.adjusted(1, 1, -2, -2), pal.color(QPalette::Light));
    p.fillRect(r.adjusted(2, 2, -2, -2), pal.color(QPalette::Button));
}

Qt::Edges Form::edgesAt(QPoint pos) const
{
    return m_border == Border::Sizable ? resizeEdgesAt(size(), borderPixels(), pos) : Qt::Edges();
}

static Qt::CursorShape cursorFor(Qt::Edges e)
{
    if (e.testFlags(Qt::LeftEdge | Qt::TopEdge) || e.testFlags(Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if ((e & (Qt::LeftEdge | Qt::RightEdge)) && (e & (Qt::TopEdge | Qt::BottomEdge)))
        return Qt::SizeBDiagCursor;
    if (e & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    return e ? Qt::SizeVerCursor : Qt::ArrowCursor;
}

void Form::mousePressEvent(QMouseEvent *e)
{
    const Qt::Edges edges = edgesAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || !edges)
        return;
    if (startWindowSystemResize(this, edges))
        return;
    m_resizeEdges = edges;
    m_resizeStartGlobal = e->globalPosition().toPoint();
    m_resizeStartGeometry = geometry();
}

void Form::mouseMoveEvent(QMouseEvent *e)
{
    // Our own resize ends with the left button, whether or not its release reached the frame.
    if (!(e->buttons() & Qt::LeftButton))
        m_resizeEdges = {};
    // The resize event that follows a new geometry runs Form_Resize.
    if (m_resizeEdges)
        setGeometry(resizedGeometry(m_resizeStartGeometry, m_resizeEdges,
                                    e->globalPosition().toPoint() - m_resizeStartGlobal, minimumSize()));
    else
        setCursor(cursorFor(edgesAt(e->position().toPoint())));
}

} // namespace zentyr

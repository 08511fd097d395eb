// SPDX-License-Identifier: MIT
#pragma once
#include "platform/system/windowsystem.h"

#include <QWidget>

class QPainter;

namespace zentyr {

// A top-level window with its client area inside a frame that we draw ourselves; it is loaded once (its load handler
// runs), shown modeless and destroyed by unload().
class Form : public QWidget {
    Q_OBJECT
public:
    // A border's value is the width of its frame side in pixels.
    enum class Border { None = 0, FixedDialog = 3, Sizable = 4 };

    Form(const QString &name, Border border, QSizeF designClientTwips);

    // The outer size in pixels, never below the frame; a change runs Form_Resize.
    void setOuterSize(QSize pixels);

    // The designs' screen is the primary one: their positions count from its top
    // left, wherever it stands on the desktop.
    static QRect primaryScreenPixels();
    // The screen (desktop pixels) that holds the form's centre point, else the primary.
    QRect screenOfCentrePixels() const;
    // Moves the form so that it is centred on a screen (desktop pixels).
    void centreOnScreen(const QRect &screenPixels);

    // Pixels of a frame side.
    int borderPixels() const { return static_cast<int>(m_border); }
    QWidget *client() const { return m_client; }

    // Runs Form_Initialize, the centring on the screen and Form_Load; the registry calls it once.
    void load();
    // Shows the form without modality and without an owner; an open form is only
    // brought to the front.
    void showModeless();
    // Runs Form_Unload and destroys the form; a later reference loads a fresh one.
    void unload();
    bool isUnloading() const { return m_unloading; }

    // Whether showModeless() gives the window the focus.
    void setActivateOnShow(bool on) { m_activateOnShow = on; }
    // Whether the window gets a taskbar button.
    void setShowInTaskbar(bool on) { m_showInTaskbar = on; }
    // What the window is to the window manager (tiling managers float all but Normal).
    void setWindowKind(WindowKind kind);
    void setVisible(bool visible) override;

    // For the client area: the form's own background and picture.
    virtual void paintClient(QPainter &p, const QRect &clientRect);

    void setBackColor(const QColor &c);
    QColor backColor() const { return m_backColor; }

protected:
    virtual void Form_Initialize() { }
    virtual void Form_Load() { }
    virtual void Form_Resize() { }
    virtual void Form_Unload() { }
    // Mouse input on the client area, at a position in client pixels.
    virtual void Form_MouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*mods*/, QPointF /*pos*/) { }
    virtual void Form_MouseMove(Qt::MouseButtons /*buttons*/, Qt::KeyboardModifiers /*mods*/, QPointF /*pos*/) { }
    // Whether a close asked for by the window manager unloads the form; otherwise it is refused.
    virtual bool acceptsWindowSystemClose() const { return true; }

    bool event(QEvent *e) override;
    // Paints the client area and runs Form_MouseDown / Form_MouseMove for mouse input on it.
    bool eventFilter(QObject *watched, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    void sizeMaybeChanged();
    bool fitClient();
    // On a move to a screen with another scale factor, keeps the size in twips.
    void screenChanged();
    Qt::Edges edgesAt(QPoint pos) const;
    void applyNativeState();

    Border m_border;
    // The inner drawing area: controls are its children, and the form paints it and takes its mouse input.
    QWidget *m_client = nullptr;
    QColor m_backColor;
    bool m_unloading = false;
    bool m_activateOnShow = false;
    bool m_showInTaskbar = true;
    WindowKind m_kind = WindowKind::Normal;
    // Our own border resize where the window system has none.
    Qt::Edges m_resizeEdges;
    QPoint m_resizeStartGlobal;
    QRect m_resizeStartGeometry;
};

// The program's forms on screen, for its policy on the last window.
class OpenForms : public QObject {
    Q_OBJECT
public:
    static OpenForms &instance();
    // Whether a form is shown and not being unloaded.
    static bool anyOnScreen();

signals:
    // An unload left no form on screen.
    void lastWindowClosed();
};

} // namespace zentyr

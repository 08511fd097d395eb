#pragma once
#include <QPointer>
#include <QWidget>

class QPainter;

namespace zentyr {

class Form;

// The inner drawing area of a form. Controls are its children; mouse input on it
// reaches the form's Form_MouseDown / Form_MouseMove handlers in twips.
class FormClient : public QWidget {
    Q_OBJECT
public:
    explicit FormClient(Form *form);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    Form *m_form;
};

// A top-level window with the classic form model: Left/Top/Width/Height are outer
// twips, the client area lies inside a frame that we draw ourselves, and loading,
// showing and unloading follow the classic life cycle.
class Form : public QWidget {
    Q_OBJECT
public:
    enum class Border { None, FixedDialog, Sizable };

    Form(const QString &name, Border border, QSizeF designClientTwips);
    ~Form() override;

    // Outer geometry in twips.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    // Client area in twips.
    float ScaleWidth() const;
    float ScaleHeight() const;

    int borderPixels() const;
    QWidget *client() const { return m_client; }
    QString formName() const { return objectName(); }

    // Runs Form_Initialize, the design's centring and Form_Load, once.
    void load();
    bool isLoaded() const { return m_loaded && !m_unloading; }
    // Modeless show; an open form is only brought to the front.
    void Show();
    // Destroys the form; a later reference loads a fresh one.
    void Unload();
    bool isUnloading() const { return m_unloading; }

    // Whether Show gives the window the focus.
    void setActivateOnShow(bool on) { m_activateOnShow = on; }
    // Whether the window gets a taskbar button.
    void setShowInTaskbar(bool on) { m_showInTaskbar = on; }
    void setVisible(bool visible) override;

    // For the client area: the form's own background and picture.
    virtual void paintClient(QPainter &p, const QRect &clientRect);

    void dispatchMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF clientPos);
    void dispatchMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF clientPos);

    // The classic button and shift codes.
    static int buttonCode(Qt::MouseButton b);
    static int buttonsCode(Qt::MouseButtons b);
    static int shiftCode(Qt::KeyboardModifiers m);

    // Runs after any form is unloaded (the program's policy for its last window).
    using UnloadHook = void (*)(Form *);
    static void setUnloadHook(UnloadHook hook);

    void setBackColor(const QColor &c);
    QColor backColor() const { return m_backColor; }

signals:
    void unloaded(zentyr::Form *form);

protected:
    virtual void Form_Initialize() {}
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}
    virtual void Form_MouseDown(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Form_MouseMove(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}

    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *) override;

private:
    friend class FormClient;
    void sizeMaybeChanged();
    Qt::Edges edgesAt(QPoint p) const;

    Border m_border;
    FormClient *m_client = nullptr;
    QColor m_backColor;
    QSize m_lastSize{-1, -1};
    bool m_loaded = false;
    bool m_unloading = false;
    bool m_activateOnShow = false;
    bool m_showInTaskbar = true;
    bool m_taskbarHintApplied = false;
    // Our own border resize where the window system has none.
    Qt::Edges m_resizeEdges;
    QPoint m_resizeStartGlobal;
    QRect m_resizeStartGeometry;
};

// Pixels of a frame side.
int borderPixels(Form::Border border);

} // namespace zentyr

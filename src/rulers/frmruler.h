// SPDX-License-Identifier: MIT
#pragma once
#include "platform/system/filedialog.h"
#include "rulers/layout.h"
#include "rulers/rulerform.h"

#include <QImage>
#include <QPixmap>

namespace zentyr {

class Label;
class frmRuler;

// The standard ruler's picture surface: stretches a picture to its own size. A press passes
// to the client area below it; a move runs the ruler's Image1_MouseMove.
class RulerImage : public QWidget {
    Q_OBJECT
public:
    RulerImage(frmRuler *form);
    // Takes the picture over and lets it go as soon as the pixmap holds it.
    void setPicture(QImage picture);
    bool hasPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    frmRuler *m_form = nullptr;
    QPixmap m_picture;
};

// The standard ruler: the inch scale under a picture surface that a picture of the
// user's own can cover, with a tip label and the proportional layout on resize.
class frmRuler : public RulerForm {
    Q_OBJECT
public:
    frmRuler();

    RulerImage *Image1 = nullptr;
    Label *lblTip = nullptr;
    // The open-file dialog component: its settings, and the file name it keeps while the ruler is loaded.
    OpenRequest dlgCommonDialog{QStringLiteral("Open"), QString::fromLatin1(PictureFilter), {}};
    LayoutRecords records;

    void Image1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF pos);
    void mnuPicture_Click();

    static const char *const PictureFilter;

protected:
    void Form_Initialize() override;
    void Form_Load() override;
    void Form_Resize() override;
};

} // namespace zentyr

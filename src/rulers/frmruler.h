// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/layout.h"
#include "rulers/rulerform.h"

#include <QImage>
#include <QPixmap>
#include <memory>
#include <vector>

namespace zentyr {

class Label;
class frmRuler;

// The standard ruler's picture surface: stretches a picture to its own size and
// has mouse handlers of its own.
class RulerImage : public QWidget {
    Q_OBJECT
public:
    RulerImage(frmRuler *form);
    // Takes the picture over and lets it go as soon as the pixmap holds it.
    void setPicture(QImage picture);
    bool hasPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    frmRuler *m_form = nullptr;
    QPixmap m_picture;
};

// The open-file dialog component: its settings and the file name it keeps.
struct CommonDialog {
    QString DialogTitle;
    bool CancelError = false;
    QString Filter;
    QString FileName;
};

// The standard ruler: the inch scale under a picture surface that a picture of the
// user's own can cover, with a tip label and the proportional layout on resize.
class frmRuler : public RulerForm {
    Q_OBJECT
public:
    frmRuler();
    ~frmRuler() override;

    RulerImage *Image1 = nullptr;
    Label *lblTip = nullptr;
    CommonDialog dlgCommonDialog;
    QAction *mnuHideRuler = nullptr, *mnuMetricruler = nullptr, *mnuVRuler = nullptr, *mnu45Angle = nullptr,
            *mnuNormalSize = nullptr, *mnuPicture = nullptr, *mnusep = nullptr, *mnuHelp = nullptr, *mnuAbout = nullptr;

    LayoutRecords records;

    void Image1_MouseDown(int button, int shift, float x, float y);
    void Image1_MouseMove(int button, int shift, float x, float y);
    void mnuHideRuler_Click();
    void mnuMetricruler_Click();
    void mnuVRuler_Click();
    void mnu45Angle_Click();
    void mnuNormalSize_Click();
    void mnuPicture_Click();
    void mnuHelp_Click();
    void mnuAbout_Click();

    void RecordLayout();
    void ApplyLayout();
    // The window's control collection, in its fixed order.
    std::vector<LayoutControl *> controls() const;

    static const char *const PictureFilter;

protected:
    void Form_Initialize() override;
    void Form_Load() override;
    void Form_Resize() override;

private:
    std::vector<std::unique_ptr<LayoutControl>> m_collection;
};

} // namespace zentyr

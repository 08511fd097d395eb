// SPDX-License-Identifier: MIT
#pragma once
#include <QLabel>
#include <functional>

namespace zentyr {

// A font by the name a window design gives; faces this system lacks fall back to
// metric-compatible ones.
QFont designFont(const QString &family, double points, bool bold = false);

// Child geometry in twips, converted with the screen's twips per pixel.
void setGeometryTwips(QWidget *w, const QRectF &twips);

// A label: caption with mnemonic ampersands, transparent until given a back colour, optionally
// sizing itself to its text and keeping the edge its alignment names.
class Label : public QLabel {
    Q_OBJECT
public:
    Label(QWidget *parent, const QString &name);
    void setCaption(const QString &caption);
    void setAutoSize(bool on);
    // The text colour, and the back colour where one is given.
    void setColors(const QColor &fore, const QColor &back = QColor());
    void setAlignment(Qt::Alignment a);

private:
    void fitToText();
    bool m_autoSize = false;
};

// A picture control drawn by a paint routine; mouse input passes to what lies below.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter &, const QRect &)>;
    ImageControl(QWidget *parent, const QString &name, Painter painter);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    Painter m_painter;
};

} // namespace zentyr

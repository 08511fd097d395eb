// SPDX-License-Identifier: MIT
#include "platform/forms/controls.h"
#include "platform/forms/twips.h"

#include <QPainter>
#include <QRegularExpression>

namespace zentyr {

QFont designFont(const QString &family, double points, bool bold)
{
    QFont f;
    QStringList families{family};
    // Faces the designs name, with look-alikes that a Linux desktop has.
    if (family == QLatin1String("MS Sans Serif"))
        families << QStringLiteral("Microsoft Sans Serif") << QStringLiteral("Liberation Sans")
                 << QStringLiteral("Arial");
    else if (family == QLatin1String("Arial"))
        families << QStringLiteral("Liberation Sans");
    f.setFamilies(families);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void setGeometryTwips(QWidget *w, const QRectF &twips) { w->setGeometry(twipsToPixels(twips)); }

Label::Label(QWidget *parent, const QString &name) : QLabel(parent)
{
    setObjectName(name);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft);
    // A label has no mouse handlers, and input on it goes nowhere else either.
    setAttribute(Qt::WA_NoMousePropagation);
}

void Label::setCaption(const QString &caption)
{
    // As shown: "&&" is one ampersand, a single "&" marks a mnemonic and is not drawn.
    static const QRegularExpression mnemonic(QStringLiteral("&(&?)"));
    setText(QString(caption).replace(mnemonic, QStringLiteral("\\1")));
    fitToText();
}

void Label::setAutoSize(bool on)
{
    m_autoSize = on;
    setWordWrap(!on);
    fitToText();
}

void Label::setColors(const QColor &fore, const QColor &back)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, fore);
    if (back.isValid())
        p.setColor(QPalette::Window, back);
    setPalette(p);
    setAutoFillBackground(back.isValid());
}

void Label::setAlignment(Qt::Alignment a)
{
    QLabel::setAlignment(a | Qt::AlignTop);
    fitToText();
}

void Label::fitToText()
{
    if (!m_autoSize)
        return;
    const QFontMetrics fm(font());
    const QSize want(fm.horizontalAdvance(text()) + 1, fm.height());
    QRect g = geometry();
    const Qt::Alignment h = alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignRight)
        g.setLeft(g.right() + 1 - want.width());
    else if (h & Qt::AlignHCenter)
        g.setLeft(g.center().x() - want.width() / 2);
    g.setSize(want);
    setGeometry(g);
}

ImageControl::ImageControl(QWidget *parent, const QString &name, Painter painter)
    : QWidget(parent), m_painter(std::move(painter))
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ImageControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    m_painter(p, rect());
}

} // namespace zentyr

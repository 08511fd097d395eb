// SPDX-License-Identifier: MIT
#include "rulers/readout.h"
#include "platform/forms/twips.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

namespace zentyr::readout {

namespace {

constexpr double MillimetresPerInch = 25.4;
constexpr double LowestDpi = 50;
constexpr double HighestDpi = 700;
constexpr double SquarePixels = 1.15;
// Both ends on monitors of one density, to the rounding of whole millimetres.
constexpr double SameDensity = 0.01;

Monitor monitorOf(const QScreen *screen)
{
    if (!screen)
        return {};
    const QSizeF device = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
    return {screen->physicalSize(), QSize(roundHalfEven(device.width()), roundHalfEven(device.height()))};
}

// Millimetres per device pixel along one axis, when the monitor's reported size can be true.
std::optional<double> millimetresPerPixel(const Monitor &monitor, bool vertical)
{
    const QSizeF mm = monitor.millimetres;
    const QSize px = monitor.devicePixels;
    if (!(mm.width() > 0 && mm.height() > 0) || px.isEmpty())
        return std::nullopt;
    // Sizes some screens give for "unknown": an aspect ratio, or the pixels at the 96 dpi
    // default (X servers, virtual machines, and Qt when the monitor gave nothing).
    for (const QSizeF ratio : {QSizeF(16, 9), QSizeF(16, 10), QSizeF(160, 90), QSizeF(160, 100)})
        if (mm == ratio)
            return std::nullopt;
    const auto atDefault
        = [](double millimetres, int pixels) { return std::abs(millimetres - pixels * MillimetresPerInch / 96) < 0.5; };
    if (atDefault(mm.width(), px.width()) && atDefault(mm.height(), px.height()))
        return std::nullopt;
    const double dpiX = px.width() * MillimetresPerInch / mm.width();
    const double dpiY = px.height() * MillimetresPerInch / mm.height();
    const auto real = [](double dpi) { return dpi >= LowestDpi && dpi <= HighestDpi; };
    if (!real(dpiX) || !real(dpiY) || std::max(dpiX, dpiY) > SquarePixels * std::min(dpiX, dpiY))
        return std::nullopt;
    return vertical ? mm.height() / px.height() : mm.width() / px.width();
}

// The zero tick in client pixels along the scale, where the window draws it: stretched over its
// natural size in whole pixels, from the top left.
double zeroTickPixels(const Scale &scale)
{
    const QSize natural = artwork::naturalPixelSize(scale.picture, twipsPerPixelX(), twipsPerPixelY());
    const QSizeF extent = artwork::extentUnits(scale.picture);
    return scale.vertical ? scale.zeroTickUnits * natural.height() / extent.height()
                          : scale.zeroTickUnits * natural.width() / extent.width();
}

// Rounded as shown, so that "-0.00" never shows.
QString fixed(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double shown = std::round(value * scale) / scale;
    if (shown == 0)
        shown = 0;
    return QString::number(shown, 'f', decimals);
}

QFont labelFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

// The vertical ruler is too narrow for one line.
QStringList labelLines(const QString &text, bool vertical)
{
    return vertical ? text.split(QStringLiteral(" \u00B7 ")) : QStringList{text};
}

// The same rectangle with x and y swapped.
QRect transposed(const QRect &r) { return {r.y(), r.x(), r.height(), r.width()}; }

// Where the line and the label go in a client of the given size for the pointer at pos: the line
// across the ruler, the label beside it at the far edge, on the other side where there is no room.
// The vertical ruler's are the horizontal ruler's, transposed.
std::pair<QRect, QRect> place(bool vertical, QPoint pos, QSize client, const QStringList &lines)
{
    constexpr int Gap = 4, Margin = 2;
    const QFontMetrics fm(labelFont());
    int width = 0;
    for (const QString &l : lines)
        width = std::max(width, fm.horizontalAdvance(l));
    QSize size(width + 6, int(lines.size()) * fm.height() + 2);
    if (vertical) {
        pos = pos.transposed();
        client.transpose();
        size.transpose();
    }
    const QRect line(pos.x(), 0, 1, client.height());
    int x = pos.x() + Gap;
    if (x + size.width() > client.width())
        x = pos.x() - Gap - size.width() + 1;
    const QRect label(QPoint(std::max(x, 0), std::max(client.height() - size.height() - Margin, 0)), size);
    return vertical ? std::pair(transposed(line), transposed(label)) : std::pair(line, label);
}

} // namespace

Reading measure(double logicalPixels, double devicePixelRatio, const Monitor &atZero, const Monitor &atPointer,
                bool vertical)
{
    Reading r;
    r.devicePixels = roundHalfEven(logicalPixels * devicePixelRatio);
    const std::optional<double> a = millimetresPerPixel(atZero, vertical);
    const std::optional<double> b = millimetresPerPixel(atPointer, vertical);
    if (a && b && std::abs(*a - *b) <= SameDensity * std::max(*a, *b))
        r.millimetres = r.devicePixels * (*a + *b) / 2;
    return r;
}

QString text(const Reading &reading, bool metric)
{
    const QString px = QStringLiteral("%1 px").arg(reading.devicePixels);
    if (!reading.millimetres)
        return px;
    if (metric)
        return px + QStringLiteral(" \u00B7 %1 mm").arg(fixed(*reading.millimetres, 1));
    return px + QStringLiteral(" \u00B7 %1 in").arg(fixed(*reading.millimetres / MillimetresPerInch, 2));
}

void Readout::moveTo(QWidget *client, const Scale &scale, QPointF pos)
{
    const double zero = zeroTickPixels(scale);
    const auto monitorAt
        = [client](QPointF p) { return monitorOf(QGuiApplication::screenAt(client->mapToGlobal(p).toPoint())); };
    const Monitor atZero = monitorAt(scale.vertical ? QPointF(pos.x(), zero) : QPointF(zero, pos.y()));
    const Reading reading = measure(scale.vertical ? zero - pos.y() : pos.x() - zero, client->devicePixelRatioF(),
                                    atZero, monitorAt(pos), scale.vertical);
    const QString shown = text(reading, scale.metric);
    const auto [line, label] = place(scale.vertical, QPoint(int(std::floor(pos.x())), int(std::floor(pos.y()))),
                                     client->size(), labelLines(shown, scale.vertical));
    if (shown == m_text && line == m_line && label == m_label)
        return;
    invalidate(client);
    if (m_text.isEmpty())
        m_description = client->window()->accessibleDescription();
    m_vertical = scale.vertical;
    m_text = shown;
    m_line = line;
    m_label = label;
    invalidate(client);
    client->window()->setAccessibleDescription(m_text);
}

void Readout::clear(QWidget *client)
{
    if (m_text.isEmpty())
        return;
    invalidate(client);
    m_text.clear();
    client->window()->setAccessibleDescription(m_description);
}

// Only the strips that change are repainted; children under them (a user's picture) too.
void Readout::invalidate(QWidget *client) const
{
    if (m_text.isEmpty())
        return;
    client->update(m_line);
    client->update(m_label);
}

void Readout::paint(QPainter &p, QPoint origin) const
{
    if (m_text.isEmpty())
        return;
    p.save();
    p.translate(origin);
    // Black with white dashes, seen on the orange scale and on any picture.
    p.fillRect(m_line, Qt::black);
    const int length = m_vertical ? m_line.width() : m_line.height();
    for (int i = 0; i < length; i += 4)
        p.fillRect(m_vertical ? QRect(m_line.left() + i, m_line.top(), 2, 1)
                              : QRect(m_line.left(), m_line.top() + i, 1, 2),
                   Qt::white);
    p.fillRect(m_label, QColor(0xFF, 0xFF, 0xE1));
    p.setPen(Qt::black);
    p.drawRect(m_label.adjusted(0, 0, -1, -1));
    p.setFont(labelFont());
    p.drawText(m_label, Qt::AlignCenter, labelLines(m_text, m_vertical).join(QLatin1Char('\n')));
    p.restore();
}

} // namespace zentyr::readout

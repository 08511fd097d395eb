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

namespace zentyr::readout {

namespace {

constexpr double MillimetresPerInch = 25.4;
constexpr double LowestDpi = 50;
constexpr double HighestDpi = 700;
constexpr double SquarePixels = 1.15;
// Both ends on monitors of one density, to the rounding of whole millimetres.
constexpr double SameDensity = 0.01;

// The zero tick in the picture's own units: major tick 0 of the inch scales, the first
// tick of the metric scale (it has none to its left).
double zeroTickUnits(artwork::Picture scale)
{
    switch (scale) {
    case artwork::Picture::MetricScale: return 144.0;
    case artwork::Picture::VerticalScale: return 14603;
    default: return 38;
    }
}

QFont labelFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

QStringList labelLines(const QString &text, bool vertical)
{
    // The vertical ruler is too narrow for one line.
    return vertical ? text.split(QStringLiteral(" \u00B7 ")) : QStringList{text};
}

QSize labelSize(const QString &text, bool vertical)
{
    const QFontMetrics fm(labelFont());
    int width = 0;
    const QStringList lines = labelLines(text, vertical);
    for (const QString &line : lines)
        width = std::max(width, fm.horizontalAdvance(line));
    return {width + 6, int(lines.size()) * fm.height() + 2};
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

} // namespace

bool isVertical(artwork::Picture scale) { return scale == artwork::Picture::VerticalScale; }
bool isMetric(artwork::Picture scale) { return scale == artwork::Picture::MetricScale; }

double zeroTickPixels(artwork::Picture scale, double twipsPerPixelX, double twipsPerPixelY)
{
    // The window draws the picture stretched over its natural size in whole pixels.
    const QSize natural = artwork::naturalPixelSize(scale, twipsPerPixelX, twipsPerPixelY);
    const QSizeF extent = artwork::extentUnits(scale);
    const double units = zeroTickUnits(scale);
    return isVertical(scale) ? units * natural.height() / extent.height() : units * natural.width() / extent.width();
}

double distancePixels(artwork::Picture scale, QPointF pos, double twipsPerPixelX, double twipsPerPixelY)
{
    const double zero = zeroTickPixels(scale, twipsPerPixelX, twipsPerPixelY);
    return isVertical(scale) ? zero - pos.y() : pos.x() - zero;
}

Monitor monitorOf(const QScreen *screen)
{
    if (!screen)
        return {};
    const QSizeF device = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
    return {screen->physicalSize(), QSize(roundHalfEven(device.width()), roundHalfEven(device.height()))};
}

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

Reading measure(double logicalPixels, double devicePixelRatio, const Monitor *atZero, const Monitor *atPointer,
                bool vertical)
{
    Reading r;
    r.devicePixels = roundHalfEven(logicalPixels * devicePixelRatio);
    if (!atZero || !atPointer)
        return r;
    const std::optional<double> a = millimetresPerPixel(*atZero, vertical);
    const std::optional<double> b = millimetresPerPixel(*atPointer, vertical);
    if (!a || !b || std::abs(*a - *b) > SameDensity * std::max(*a, *b))
        return r;
    r.millimetres = r.devicePixels * (*a + *b) / 2;
    return r;
}

QString text(const Reading &reading, bool metric)
{
    QString s = QStringLiteral("%1 px").arg(reading.devicePixels);
    if (reading.millimetres) {
        s += metric ? QStringLiteral(" \u00B7 %1 mm").arg(fixed(*reading.millimetres, 1))
                    : QStringLiteral(" \u00B7 %1 in").arg(fixed(*reading.millimetres / MillimetresPerInch, 2));
    }
    return s;
}

Placement place(bool vertical, QPoint pos, QSize client, QSize label)
{
    constexpr int Gap = 4, Margin = 2;
    Placement out;
    QPoint at;
    if (vertical) {
        out.line = QRect(0, pos.y(), client.width(), 1);
        at = {client.width() - label.width() - Margin, pos.y() + Gap};
        if (at.y() + label.height() > client.height())
            at.setY(pos.y() - Gap - label.height() + 1);
    } else {
        out.line = QRect(pos.x(), 0, 1, client.height());
        at = {pos.x() + Gap, client.height() - label.height() - Margin};
        if (at.x() + label.width() > client.width())
            at.setX(pos.x() - Gap - label.width() + 1);
    }
    out.label = QRect(QPoint(std::max(at.x(), 0), std::max(at.y(), 0)), label);
    return out;
}

void Readout::moveTo(QWidget *client, artwork::Picture scale, QPointF pos)
{
    const bool vertical = isVertical(scale);
    const double zero = zeroTickPixels(scale, twipsPerPixelX(), twipsPerPixelY());
    const QPointF zeroPos = vertical ? QPointF(pos.x(), zero) : QPointF(zero, pos.y());
    const QScreen *atPointer = QGuiApplication::screenAt(client->mapToGlobal(pos).toPoint());
    const QScreen *atZero = QGuiApplication::screenAt(client->mapToGlobal(zeroPos).toPoint());
    const Monitor pointerMonitor = monitorOf(atPointer), zeroMonitor = monitorOf(atZero);
    const Reading reading = measure(vertical ? zero - pos.y() : pos.x() - zero, client->devicePixelRatioF(),
                                    atZero ? &zeroMonitor : nullptr, atPointer ? &pointerMonitor : nullptr, vertical);
    const QString shown = text(reading, isMetric(scale));
    const Placement next = place(vertical, QPoint(int(std::floor(pos.x())), int(std::floor(pos.y()))), client->size(),
                                 labelSize(shown, vertical));
    if (m_shown && shown == m_text && next.line == m_placement.line && next.label == m_placement.label)
        return;
    invalidate(client);
    if (!m_shown)
        m_description = client->window()->accessibleDescription();
    m_shown = true;
    m_vertical = vertical;
    m_text = shown;
    m_placement = next;
    invalidate(client);
    client->window()->setAccessibleDescription(m_text);
}

void Readout::clear(QWidget *client)
{
    if (!m_shown)
        return;
    invalidate(client);
    m_shown = false;
    m_text.clear();
    client->window()->setAccessibleDescription(m_description);
}

// Only the strips that change are repainted; children under them (a user's picture) too.
void Readout::invalidate(QWidget *client) const
{
    if (!m_shown)
        return;
    client->update(m_placement.line);
    client->update(m_placement.label);
}

void Readout::paint(QPainter &p, QPoint origin) const
{
    if (!m_shown)
        return;
    p.save();
    p.translate(origin);
    // Black with white dashes, seen on the orange scale and on any picture.
    const QRect line = m_placement.line;
    p.fillRect(line, Qt::black);
    const int length = m_vertical ? line.width() : line.height();
    for (int i = 0; i < length; i += 4)
        p.fillRect(m_vertical ? QRect(line.left() + i, line.top(), 2, 1) : QRect(line.left(), line.top() + i, 1, 2),
                   Qt::white);
    const QRect label = m_placement.label;
    p.fillRect(label, QColor(0xFF, 0xFF, 0xE1));
    p.setPen(Qt::black);
    p.drawRect(label.adjusted(0, 0, -1, -1));
    p.setFont(labelFont());
    p.drawText(label, Qt::AlignCenter, labelLines(m_text, m_vertical).join(QLatin1Char('\n')));
    p.restore();
}

} // namespace zentyr::readout

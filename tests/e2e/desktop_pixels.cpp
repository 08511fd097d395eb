// SPDX-License-Identifier: MIT
// Pixels: colour helpers, screenshots straight from the X server, and the artifacts a test leaves.
#include "desktop_p.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace e2e {

QColor colorAt(const QImage &image, int x, int y)
{
    if (!image.valid(x, y))
        return {};
    return QColor(image.pixel(x, y));
}

QColor colorAt(const QImage &image, QPoint p) { return colorAt(image, p.x(), p.y()); }

static bool rgbClose(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

bool colorsClose(const QColor &a, const QColor &b, int tolerance)
{
    if (!a.isValid() || !b.isValid())
        return false;
    return rgbClose(a.rgb(), b.rgb(), tolerance);
}

int countColor(const QImage &image, const QRect &area, const QColor &color, int tolerance)
{
    const QImage img = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        ? image
        : image.convertToFormat(QImage::Format_RGB32);
    const QRect r = area.intersected(img.rect());
    const QRgb want = color.rgb();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            n += rgbClose(line[x], want, tolerance);
    }
    return n;
}

QString Desktop::Impl::artifactsDir() const
{
    QString base = qEnvironmentVariable("ZENTYR_E2E_ARTIFACTS");
    if (base.isEmpty())
        base = QDir::tempPath() + QStringLiteral("/zentyr-e2e-artifacts");
    const QString app = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    return base + QLatin1Char('/') + (app.isEmpty() ? QStringLiteral("e2e") : app);
}

QImage Desktop::screenshot() const
{
    if (!d->conn)
        return {};
    const QSize s = d->screenSize;
    xcb_get_image_reply_t *r = xcb_get_image_reply(
        d->conn, xcb_get_image(d->conn, XCB_IMAGE_FORMAT_Z_PIXMAP, d->root, 0, 0, s.width(), s.height(), ~0u), nullptr);
    QImage out;
    const xcb_setup_t *setup = xcb_get_setup(d->conn);
    // Xvfb at depth 24 stores 32-bit little-endian xRGB, which is QImage::Format_RGB32.
    if (r && r->depth == 24 && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST
        && xcb_get_image_data_length(r) == s.width() * s.height() * 4) {
        out = QImage(xcb_get_image_data(r), s.width(), s.height(), s.width() * 4, QImage::Format_RGB32).copy();
    } else {
        qWarning("e2e: unexpected root image format (depth %d)", r ? r->depth : -1);
    }
    free(r);
    return out;
}

QImage Desktop::grabWindow(WindowId w) const
{
    const QRect g = geometry(w).intersected(QRect(QPoint(0, 0), d->screenSize));
    if (g.isEmpty())
        return {};
    return screenshot().copy(g);
}

QString Desktop::saveArtifact(const QImage &image, const QString &name) const
{
    const QString dir = d->artifactsDir();
    if (!QDir().mkpath(dir))
        return {};
    QString file = name;
    file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    if (!file.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        file += QStringLiteral(".png");
    const QString path = dir + QLatin1Char('/') + file;
    return image.save(path, "PNG") ? path : QString();
}

QString Desktop::saveDiagnostics(const QString &name) const
{
    QString sub = name;
    sub.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    const QString dir = d->artifactsDir() + QLatin1Char('/') + sub;
    if (!QDir().mkpath(dir))
        return {};
    if (d->conn)
        screenshot().save(dir + QStringLiteral("/screen.png"), "PNG");
    QFile f(dir + QStringLiteral("/windows.txt"));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(
            QStringLiteral("display %1 wm=%2 tray=%3\nerror: %4\n")
                .arg(display(), d->wmName(), d->trayOwned() ? QStringLiteral("up") : QStringLiteral("down"), d->error)
                .toUtf8());
        f.write(describeWindows().toUtf8());
        f.write("\n\nprocesses:\n");
        for (const auto *p : {d->xvfb.get(), d->wm.get(), d->tray.get()})
            if (p)
                f.write((p->d->commandLine + QLatin1Char('\n')).toUtf8());
        for (const auto &p : d->programs)
            f.write(QStringLiteral("%1 (pid %2, exit %3)\n")
                        .arg(p->d->commandLine)
                        .arg(p->pid())
                        .arg(p->exitCode())
                        .toUtf8());
    }
    if (d->conn) {
        const RunResult tree = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        QFile t(dir + QStringLiteral("/xwininfo-tree.txt"));
        if (t.open(QIODevice::WriteOnly))
            t.write(tree.out + tree.err);
    }
    for (const QFileInfo &log : QDir(d->logs).entryInfoList(QDir::Files)) {
        QFile::remove(dir + QLatin1Char('/') + log.fileName());
        QFile::copy(log.filePath(), dir + QLatin1Char('/') + log.fileName());
    }
    return dir;
}

} // namespace e2e

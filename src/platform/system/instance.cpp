// SPDX-License-Identifier: MIT
#include "platform/system/instance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>

namespace zentyr {

// Letters, digits, '.' and '-' stay; a long name becomes a digest so it fits a file name.
static QString fileNamePart(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += (c.unicode() < 128 && (c.isLetterOrNumber() || c == u'.' || c == u'-')) ? c : QChar(u'_');
    if (out.size() > 120)
        out = QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
    return out;
}

QString displayKey(const QString &x11Display, const QString &waylandSocket, const QString &platform)
{
    if (!waylandSocket.isEmpty())
        return QStringLiteral("wayland-") + fileNamePart(waylandSocket);
    if (!x11Display.isEmpty()) {
        // [host]:number[.screen]; "unix" and no host both mean this machine's socket.
        const qsizetype colon = x11Display.lastIndexOf(u':');
        if (colon >= 0) {
            QString host = x11Display.left(colon);
            if (host.startsWith(QLatin1String("unix/")))
                host = host.mid(5);
            const QString number = x11Display.mid(colon + 1).section(u'.', 0, 0);
            bool isNumber = false;
            number.toUInt(&isNumber);
            if (isNumber && (host.isEmpty() || host == QLatin1String("unix")))
                return QStringLiteral("x11-") + number;
            if (isNumber)
                return QStringLiteral("x11-") + number + u'-' + fileNamePart(host);
        }
        return QStringLiteral("x11-") + fileNamePart(x11Display);
    }
    const QString name = fileNamePart(platform);
    return name.isEmpty() ? QStringLiteral("default") : name;
}

QString waylandSocketPath(const QString &waylandDisplay, const QString &runtimeDir)
{
    if (waylandDisplay.isEmpty())
        return {};
    if (waylandDisplay.startsWith(u'/'))
        return waylandDisplay;
    if (!runtimeDir.startsWith(u'/'))
        return {};
    return runtimeDir + u'/' + waylandDisplay;
}

bool previousInstanceRunning()
{
    static const bool answer = anotherCopyHoldsTheLock();
    return answer;
}

} // namespace zentyr

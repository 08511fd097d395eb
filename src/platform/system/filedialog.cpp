// SPDX-License-Identifier: MIT
#include "platform/system/filedialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPixmapCache>
#include <QPointer>
#include <QScopeGuard>

namespace zentyr {

QList<FileTypeFilter> parseFileFilter(const QString &vbFilter)
{
    QList<FileTypeFilter> filters;
    const QStringList parts = vbFilter.split(QLatin1Char('|'));
    // Read as the Windows dialog reads its list: it ends at the first empty part, and a last
    // description without a pattern is dropped.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() || parts[i + 1].isEmpty())
            break;
        filters.append({parts[i], parts[i + 1]});
    }
    return filters;
}

namespace {

// Name filters for a QFileDialog with HideNameFilterDetails: each shows exactly its
// description and filters by its own patterns, with "*.*" meaning every file.
QStringList qtNameFilters(const QList<FileTypeFilter> &filters)
{
    QStringList out;
    for (const FileTypeFilter &f : filters) {
        // "*.*" lists every file, names without a dot included, as it always has on Windows;
        // to Qt it would demand a dot.
        const QString patterns = f.pattern == QLatin1String("*.*")
            ? QStringLiteral("*")
            : QString(f.pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt filters by the last "(...)" and, with HideNameFilterDetails, shows what precedes
        // it, so a description like "JPEG Files (*.jpg)" survives whole.
        out.append(f.description + QLatin1String(" (") + patterns + QLatin1Char(')'));
    }
    return out;
}

// Icons and type names from the file name alone. Qt's default provider asks the MIME database,
// which opens files whose names say nothing; in /proc that read blocks for ever (/proc/kmsg).
class NameOnlyIconProvider final : public QFileIconProvider {
public:
    NameOnlyIconProvider() { setOptions(DontUseCustomDirectoryIcons); }

    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isRoot() ? Drive : info.isDir() ? Folder : File);
    }

    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QFileIconProvider::type(info);
        const QMimeType mime = m_mimeTypes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeDatabase m_mimeTypes;
};

// Qt's pixmap cache (seen with Qt 6.4) keeps every name a pixmap was stored under, in an index that
// neither eviction nor QPixmapCache::clear() empties; a name goes only when that same name is
// looked up or removed. Each dialog builds its icons anew (the style reads them from their files
// again, the file list's header makes a new image on every paint), so the scaled and greyed copies
// it caches are stored under names no later dialog asks for: about 10 kB of pixmaps a use until
// the cache's 10 MB are full, and 2 kB of names a use for ever. So while a dialog is up the cache
// (the program's one) takes nothing: the dialog scales its few small icons on each paint instead.
// Another dialog may open while one waits (a new standard ruler's); the limit comes back when the
// last one closes.
auto pixmapCacheOff()
{
    static int openDialogs = 0;
    static int savedLimit = 0;
    if (openDialogs++ == 0) {
        savedLimit = QPixmapCache::cacheLimit();
        QPixmapCache::setCacheLimit(0);
    }
    return qScopeGuard([] {
        if (--openDialogs == 0)
            QPixmapCache::setCacheLimit(savedLimit);
    });
}

} // namespace

void configureOpenDialog(QFileDialog &dialog, const OpenRequest &request)
{
    keepNoDialogSettings();
    // Qt's own dialog: it shows the title and filters as given and lists folders by name only. The
    // "native" one Qt would plug in on X11 is whatever the desktop theme offers (GTK's, KDE's or
    // none); where the system's own fits, showSystemOpenDialog calls it directly.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Shared by every dialog and their file-listing threads; it holds no per-dialog state.
    static NameOnlyIconProvider nameOnlyIcons;
    dialog.setIconProvider(&nameOnlyIcons);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setWindowTitle(request.title);
    // The first is selected.
    dialog.setNameFilters(qtNameFilters(parseFileFilter(request.filter)));
    if (!request.fileName.isEmpty()) {
        const QFileInfo previous(request.fileName);
        dialog.setDirectory(previous.absolutePath());
        dialog.selectFile(previous.fileName());
    }
}

OpenResult showOpenDialog(QWidget *owner, const OpenRequest &request)
{
    OpenResult system;
    if (showSystemOpenDialog(owner, request, &system))
        return system;
    // Other windows' handlers run while the dialog waits; one of them may destroy the owner
    // and with it the dialog, so it is not kept on the stack.
    const auto noCaching = pixmapCacheOff();
    QPointer<QFileDialog> dialog = new QFileDialog(owner);
    configureOpenDialog(*dialog, request);
    // It blocks only its owner: the tray menu and the other rulers go on answering while it waits.
    dialog->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    const int answer = dialog->exec();
    if (!dialog)
        return {};
    const QStringList chosen = dialog->selectedFiles();
    delete dialog.data();
    if (answer != QDialog::Accepted || chosen.isEmpty())
        return {};
    return {false, QFileInfo(chosen.first()).absoluteFilePath()};
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
// The Open dialog: a file-type list in the "Description|pattern|..." form read into Qt's name
// filters, and a dialog that lists folders by file name only and keeps nothing between runs.
#include <QList>
#include <QString>

class QFileDialog;
class QWidget;

namespace zentyr {

struct OpenRequest {
    QString title;    // "Open"
    QString filter;   // "Description|pattern|Description|pattern..."
    QString fileName; // filled in again from the last use
};

struct OpenResult {
    bool cancelled = true;
    QString fileName;
};

// One entry of an Open dialog's file-type list: the text shown and the pattern it filters by
// ("*.gif", several joined by ';').
struct FileTypeFilter {
    QString description;
    QString pattern;
};

// Splits "Description|pattern|Description|pattern". The list ends at the first empty part;
// a trailing description without a pattern is dropped.
QList<FileTypeFilter> parseFileFilter(const QString &vbFilter);

// Makes dialog the Open dialog for request (title, filters with the first selected,
// the previous file preselected). Used by showOpenDialog. Its file list takes each file's
// type from the name alone, since reading files in a folder such as /proc can block for ever.
// From the first call on, Qt's dialogs store no settings for the user (QtProject.conf): the
// folder last visited is kept only for the run.
void configureOpenDialog(QFileDialog &dialog, const OpenRequest &request);

// Each operating system has its own: keeping Qt's dialog state in memory only (before the first
// dialog is made).
void keepNoDialogSettings();

// The operating system's own Open dialog, called directly where Qt's would keep state (on Windows
// Qt notes its last folder in the registry). False where there is none to call: Qt's is used.
bool showSystemOpenDialog(QWidget *owner, const OpenRequest &request, OpenResult *result);

// The Open dialog, modal to its owner (to the whole program without one); returns the chosen
// file's absolute path or cancelled. The owner may be destroyed while it waits.
OpenResult showOpenDialog(QWidget *owner, const OpenRequest &request);

} // namespace zentyr

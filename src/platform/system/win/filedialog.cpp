// SPDX-License-Identifier: MIT
#include "platform/system/filedialog.h"

#include <QDir>
#include <QGuiApplication>
#include <QWidget>

#include <string>
#include <vector>

#include <windows.h>
#include <commdlg.h>

namespace zentyr {

// Qt's dialog is used only off the desktop (the offscreen tests), where nothing is kept.
void keepNoDialogSettings() { }

// The common dialog itself: the "Description|pattern" list is its own format with NULs for bars,
// and it keeps nothing between runs, where Qt's would write its last folder to the registry.
bool showSystemOpenDialog(QWidget *owner, const OpenRequest &request, OpenResult *result)
{
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        return false;
    std::wstring filter;
    for (const FileTypeFilter &f : parseFileFilter(request.filter))
        filter += f.description.toStdWString() + L'\0' + f.pattern.toStdWString() + L'\0';
    filter += L'\0';
    const std::wstring title = request.title.toStdWString();
    // Filled in with the file chosen last time, as the dialog component kept it.
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring previous = QDir::toNativeSeparators(request.fileName).toStdWString();
    if (previous.size() < file.size())
        previous.copy(file.data(), previous.size());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    *result = {};
    if (::GetOpenFileNameW(&ofn))
        *result = {false, QDir::fromNativeSeparators(QString::fromWCharArray(file.data()))};
    return true;
}

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace zentyr {

// The program's argument string: its arguments joined by single blanks.
QString commandLine();
void setCommandLine(const QString &line);
QString joinArguments(const QStringList &argsWithoutProgram);

// The previous-instance guard: true when another copy runs; it then shows the box and
// ends the program (a test's services return, so callers return too).
bool previousInstanceGuard(const std::function<void()> &beforeEnd = {});

// Gives the rulers the guard and the information window; main() calls it before any window loads.
void installAppHost();

} // namespace zentyr

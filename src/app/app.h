// SPDX-License-Identifier: MIT
#pragma once
#include <QString>
#include <QStringList>

namespace zentyr {

// The program's argument string: its arguments joined by single blanks.
QString commandLine();
void setCommandLine(const QString &line);

// What a start prints before it ends, each text ending in a newline: only a lone "--help" or
// "--version" prints; for any other argument string it is empty and the program runs as it always did.
QString startText(const QStringList &argsWithoutProgram);

// The previous-instance guard: true when another copy runs; it then shows the box and
// ends the program (a test's services return, so callers return too).
bool previousInstanceGuard();

// Gives the rulers the guard and the information window; main() calls it before any window loads.
void installAppHost();

} // namespace zentyr

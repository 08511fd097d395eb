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

// What a start does with its arguments: only a lone "--help" or "--version" prints and
// ends; any other argument string runs the program as it always did.
enum class StartAction { Run, Help, Version };
StartAction startAction(const QStringList &argsWithoutProgram);
// The texts printed for those two, each ending in a newline.
QString helpText();
QString versionText();

// The previous-instance guard: true when another copy runs; it then shows the box and
// ends the program (a test's services return, so callers return too).
bool previousInstanceGuard(const std::function<void()> &beforeEnd = {});

// Gives the rulers the guard and the information window; main() calls it before any window loads.
void installAppHost();

} // namespace zentyr

#pragma once
#include <QString>

namespace zentyr {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;

// The title a box without one of its own carries.
QString applicationTitle();

// The text as a person sees it: carriage returns become line breaks.
QString messageBoxDisplayText(const QString &text);

} // namespace zentyr

// SPDX-License-Identifier: MIT
#pragma once
// The errors platform calls raise, by number, for the handlers that arm an error branch.
#include <QString>
#include <exception>

namespace zentyr {

struct VbError : std::exception {
    int number = 0;
    QString source;
    QString description;

    VbError(int n, QString src, QString desc) : number(n), source(std::move(src)), description(std::move(desc)) { }
    const char *what() const noexcept override { return "VbError"; }
};

inline constexpr int ErrOutOfMemory = 7;
inline constexpr int ErrFileNotFound = 53;
inline constexpr int ErrPathFileAccess = 75;
inline constexpr int ErrInvalidPicture = 481;

} // namespace zentyr

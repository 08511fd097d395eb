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

inline constexpr int ErrObjectNotSet = 91;
inline constexpr int ErrNonModalWhileModal = 401;

} // namespace zentyr

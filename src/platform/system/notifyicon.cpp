// SPDX-License-Identifier: MIT
#include "platform/system/notifyicon.h"

#include <algorithm>

namespace zentyr {

QString NotifyIconData::tipText() const
{
    const auto end = std::find(szTip.begin(), szTip.end(), '\0');
    return QString::fromLatin1(szTip.data(), static_cast<int>(end - szTip.begin()));
}

void assignFixedString(std::array<char, 64> &field, const QByteArray &text)
{
    const std::size_t n = std::min<std::size_t>(field.size(), static_cast<std::size_t>(text.size()));
    std::copy_n(text.constData(), n, field.begin());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(n), field.end(), ' ');
}

} // namespace zentyr

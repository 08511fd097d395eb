// SPDX-License-Identifier: MIT
#include "platform/system/notifyicon.h"

#include <algorithm>

namespace zentyr {

static void putLe32(QByteArray &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

QByteArray NotifyIconData::toBytes() const
{
    QByteArray out;
    out.reserve(88);
    putLe32(out, cbSize);
    putLe32(out, hWnd);
    putLe32(out, uID);
    putLe32(out, uFlags);
    putLe32(out, uCallbackMessage);
    putLe32(out, hIcon);
    out.append(szTip.data(), static_cast<int>(szTip.size()));
    return out;
}

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

// SPDX-License-Identifier: MIT
#pragma once
// The record that describes the tray icon, filled once by the tray controller and handed unchanged
// to every tray call.
#include <QByteArray>
#include <QIcon>
#include <QString>
#include <array>
#include <cstdint>

namespace zentyr {

class TrayMessageReceiver;

inline constexpr int NIM_ADD = 0;
inline constexpr int NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

// The notify-icon record with the fields of its 88-byte single-byte-character form. Qt has no
// window or icon handles to look up by those numbers: the receiver and the icon come as objects.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    std::uint32_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t hIcon = 0;
    std::array<char, 64> szTip{};
    // Takes the icon's mouse messages; it must outlive the icon.
    TrayMessageReceiver *receiver = nullptr;
    QIcon icon;

    // The tip as the shell shows it: up to the first NUL.
    QString tipText() const;
};

// Left-aligned assignment into a fixed-length text: copy, then pad with blanks.
void assignFixedString(std::array<char, 64> &field, const QByteArray &text);

} // namespace zentyr

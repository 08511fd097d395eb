#pragma once

namespace zentyr {

// Opens the information window in its information role.
void ShowInfoScreen();

// Without a notification area: end the program when no window of ours is left on screen.
void setLastWindowHook(bool on);

} // namespace zentyr

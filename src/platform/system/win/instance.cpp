// SPDX-License-Identifier: MIT
// One copy per session on Windows: a named mutex in the session's own namespace. The kernel
// drops it with its last handle, so a crashed copy never blocks the next start.
#include "platform/system/instance.h"

#include <windows.h>

namespace zentyr {

bool anotherCopyHoldsTheLock()
{
    // The handle stays open for the life of the process.
    HANDLE h = ::CreateMutexW(nullptr, FALSE, L"Local\\Zentyr");
    return h && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace zentyr

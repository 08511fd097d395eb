// SPDX-License-Identifier: MIT
#include "platform/system/instance.h"

namespace zentyr {

bool previousInstanceRunning()
{
    static const bool answer = anotherCopyHoldsTheLock();
    return answer;
}

} // namespace zentyr

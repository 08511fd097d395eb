// SPDX-License-Identifier: MIT
#include "rulers/rulerhost.h"

namespace zentyr {

RulerHost rulerHost;

} // namespace zentyr

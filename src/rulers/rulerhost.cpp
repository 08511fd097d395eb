// SPDX-License-Identifier: MIT
#include "rulers/rulerhost.h"

#include <QtGlobal>

namespace zentyr {

static RulerHost *g_host = nullptr;

RulerHost &rulerHost()
{
    Q_ASSERT_X(g_host, "rulerHost", "no host installed before a ruler loads");
    return *g_host;
}

void setRulerHost(RulerHost *host) { g_host = host; }

} // namespace zentyr

// One client connection to a port of the proxy farm.
#pragma once

#include "tools/standins/farm_behaviour.h"
#include "tools/standins/request_log.h"

namespace standins {

// A connection that sends nothing for this long is dropped.
constexpr int kFarmIdleMs = 120000;
// Silent and endless ports give up on a client after this long at the latest.
constexpr int kFarmHoldLimitMs = 3600 * 1000;
constexpr int kFarmMaxRequestsPerConnection = 100000;
// How long a closing connection waits for the client to close its side.
constexpr int kFarmLingerMs = 2000;

void ServeFarmConnection(int fd, const CPortBehaviour& port, CRequestLog& log);

} // namespace standins

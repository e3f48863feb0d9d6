// Two sockets joined: what the relay's CONNECT tunnels do with their bytes.
#pragma once

namespace standins {

// Copies bytes both ways between two sockets until both directions have
// ended, a socket fails, nothing moves for `idle_ms`, or the process stops.
// The end of one direction is passed on as a half-close of the other socket.
void PumpBothWays(int a, int b, int idle_ms);

} // namespace standins

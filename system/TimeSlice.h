// Gives up the rest of the calling thread's time slice, so that a long expansion on the setup
// program's only thread lets the windows of the system repaint (Sleep(0) on Windows), at the pace of
// util/Pacer. Elsewhere there is no such loop to serve, and handing the processor away only slows the
// expansion down on a busy machine, so it does nothing.
#pragma once

#include <cstdint>

namespace yar {

void GiveUpTimeSlice();

// Milliseconds since the system started, for pacing (the tick count on Windows; 0 elsewhere, where
// nothing is paced).
uint64_t MillisecondClock();

} // namespace yar

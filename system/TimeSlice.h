// Gives up the rest of the calling thread's time slice, so that a long expansion on the setup
// program's only thread lets the windows of the system repaint (Sleep(0) on Windows). Elsewhere there
// is no such loop to serve, and handing the processor away after every block only slows the
// expansion down on a busy machine, so it does nothing.
#pragma once

namespace yar {

void GiveUpTimeSlice();

} // namespace yar

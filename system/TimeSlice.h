// Gives up the rest of the calling thread's time slice, so that a long expansion leaves room for
// the rest of the system (Sleep(0) on Windows, sched_yield elsewhere).
#pragma once

namespace yar {

void GiveUpTimeSlice();

} // namespace yar

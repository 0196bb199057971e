#include "system/TimeSlice.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#endif

namespace yar {

void GiveUpTimeSlice() {
#ifdef _WIN32
    Sleep(0);
#else
    sched_yield();
#endif
}

} // namespace yar

#include "system/TimeSlice.h"

#include "util/Pacer.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace yar {

#ifdef _WIN32

uint64_t MillisecondClock() {
    return GetTickCount64();
}

void GiveUpTimeSlice() {
    // Every few blocks: giving the processor away after each 8 KiB costs a call into the system each time,
    // and on a busy machine the whole rest of the slice.
    static TPacer pacer;
    if (pacer.Due(MillisecondClock())) Sleep(0);
}

#else

uint64_t MillisecondClock() {
    return 0;
}

void GiveUpTimeSlice() {}

#endif

} // namespace yar

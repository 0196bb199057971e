#include "system/TimeSlice.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace yar {

void GiveUpTimeSlice() {
#ifdef _WIN32
    Sleep(0);
#endif
}

} // namespace yar

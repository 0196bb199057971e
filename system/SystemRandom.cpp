// rand_s is declared only when this comes before stdlib.h.
#ifdef _WIN32
#define _CRT_RAND_S
#endif

#include "system/SystemRandom.h"

#ifdef _WIN32
#include <cstdlib>
#else
#include <sys/random.h>
#endif

namespace yar {

std::optional<uint32_t> SystemRandomWord() {
#ifdef _WIN32
    unsigned int value = 0;
    if (rand_s(&value) != 0) return std::nullopt;
#else
    uint32_t value = 0;
    if (getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) return std::nullopt;
#endif
    return value;
}

} // namespace yar

// The pace of a long loop's side work: serving the windows, giving up the processor. Done after every
// block it costs more than the work (each is a call into the system); done at a pace the user cannot
// tell from continuous, it costs nothing.
#pragma once

#include <cstdint>

namespace yar {

// The pace at which the setup's only thread serves its windows during long work: 20 times a second.
inline constexpr uint64_t kServeIntervalMs = 50;

class TPacer {
public:
    explicit TPacer(uint64_t intervalMs = kServeIntervalMs) : FInterval(intervalMs) {}

    // True on the first call, then once at least the interval has passed since it was last true; now is
    // a clock in milliseconds that never goes back.
    bool Due(uint64_t now) {
        if (FStarted && now - FLast < FInterval) return false;
        FStarted = true;
        FLast = now;
        return true;
    }

private:
    uint64_t FInterval;
    uint64_t FLast = 0;
    bool FStarted = false;
};

} // namespace yar

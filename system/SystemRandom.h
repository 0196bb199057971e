// Random numbers from the system's own source, for names another account must not guess beforehand.
#pragma once

#include <cstdint>
#include <optional>

namespace yar {

// One word from rand_s (msvcrt, the system's generator) on Windows, getrandom elsewhere; nothing when the
// system gives none.
std::optional<uint32_t> SystemRandomWord();

} // namespace yar

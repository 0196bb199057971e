// The decoders of the built-in methods. ExpandStream sets up the byte layer of the state, runs one
// of them and flushes what it wrote; each allocates its own per-entry state and frees it again.
#pragma once

#include "archive/CompThreadSafety.h"

#include <cstdint>

namespace yar {

void ExpandNone(TCompThreadSafety& state);                  // copies until the input is used up
void ExpandRLE(TCompThreadSafety& state);                   // until the input is used up
void ExpandLH5(TCompThreadSafety& state, int32_t destSize); // produces destSize bytes (or a few more)
void ExpandLH7(TCompThreadSafety& state, int32_t destSize); // the same over a 64 KiB window
void ExpandLZH(TCompThreadSafety& state, int32_t destSize); // produces destSize bytes (or a few more)

} // namespace yar

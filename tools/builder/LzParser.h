// LZ77 parsing shared by the builder's dictionary encoders: a hash-chain match finder with lazy
// evaluation over one buffer. A leading part of the buffer may serve only as dictionary (the window
// content a decoder starts with).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace yar::builder {

struct TLzParams {
    uint32_t WindowSize = 8192; // farthest a match may reach back (a power of two)
    uint32_t MinMatch = 3;
    uint32_t MaxMatch = 256;
    uint32_t MaxChain = 256;   // candidates tried per position
    uint32_t NiceLength = 256; // a match this long is taken without looking further
};

// One step of a parse: a literal byte, or Length bytes copied from Distance bytes back.
struct TLzToken {
    uint16_t Length; // 0 for a literal
    uint16_t Value;  // the literal byte, or the distance (1..WindowSize)
    bool IsLiteral() const { return Length == 0; }
};

// Parses buffer[start..] into tokens; matches may reach into buffer[0..start) but never before it.
// Every match ends within the buffer.
std::vector<TLzToken> ParseLz(std::span<const uint8_t> buffer, size_t start, const TLzParams& params);

} // namespace yar::builder

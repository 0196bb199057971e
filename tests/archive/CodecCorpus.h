// Deterministic test data for the codec tests and the decode benchmark: the same seed gives the same
// bytes on every platform. Beside it, the expansion of one stored stream the codec tests check.
#pragma once

#include "archive/ExpandStream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace yar::testing {

// splitmix64: small, fast and the same everywhere (unlike the standard distributions).
class TRandom {
public:
    explicit TRandom(uint64_t seed) : FState(seed) {}
    uint64_t Next();
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }

private:
    uint64_t FState;
};

std::vector<uint8_t> RandomBytes(size_t size, uint64_t seed);
// Words of a small vocabulary, frequent ones more often, with punctuation and line breaks.
std::vector<uint8_t> TextLike(size_t size, uint64_t seed);
// Records of little-endian counters, small numbers, padding and repeated tags, as in program files.
std::vector<uint8_t> BinaryLike(size_t size, uint64_t seed);
// Runs of 1..600 equal bytes, the escape byte 0x94 among them.
std::vector<uint8_t> Runs(size_t size, uint64_t seed);
// Pieces of 16..96 KiB of each kind above in turn.
std::vector<uint8_t> MixedCorpus(size_t size, uint64_t seed);

struct TExpanded {
    std::vector<uint8_t> Bytes;
    int32_t Checksum = 0;
    int64_t SourceRead = 0; // where the source stream stopped
};

// Expands stored, a stream of method, to destSize bytes through ExpandStream in a fresh state.
TExpanded Expand(TCompressionMethod method, const std::vector<uint8_t>& stored, size_t destSize);
// The wrapping byte sum ExpandStream reports as the checksum.
int32_t ByteSum(const std::vector<uint8_t>& data);

} // namespace yar::testing

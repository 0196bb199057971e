// The expansion engine: turns the stored bytes of one archive entry back into its expanded bytes.
#pragma once

#include "archive/Streams.h"

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace yar {

// One byte in every entry header.
enum TCompressionMethod : uint8_t { coNone = 0, coRLE = 1, coLZH = 2, coCustom = 3, coLZH5 = 4 };

// Progress of the current entry; a handler that sets PercentageDone to -1 asks to stop.
using TShowProgressEvent = std::function<void(int32_t& PercentageDone)>;

// Code lengths that do not make a complete (or a safe) code: "Bad decode table in archive!".
class ELZHBadDecodeTable : public std::runtime_error {
public:
    ELZHBadDecodeTable();
};

class TCompThreadSafety;

// Expands SourceSize stored bytes of Source into Dest with the entry's Method. Checksum receives
// the wrapping byte sum of what was written (it keeps its value when the call ends early).
// KeyedInput with a non-zero Key unscrambles the stored bytes with the key's four bytes.
void ExpandStream(TCompThreadSafety& State, TStream& Dest, TStream& Source, int32_t SourceSize,
                  int32_t DestSize, uint8_t Method, int32_t& Checksum, bool KeyedInput, int32_t Key,
                  const TShowProgressEvent& OnShowProgress);

// Done as a percentage of Total, in the 32-bit integer arithmetic progress reports use.
int32_t PercentOf(int32_t Done, int32_t Total);

} // namespace yar

// The expansion engine: turns the stored bytes of one archive entry back into its expanded bytes.
#pragma once

#include "archive/ArchiveErrors.h"
#include "system/Streams.h"

#include <cstdint>
#include <functional>

namespace yar {

// One byte in every entry header.
enum TCompressionMethod : uint8_t { coNone = 0, coRLE = 1, coLZH = 2, coCustom = 3, coLZH5 = 4, coLZH7 = 5 };
// One past the last method: a new value moves it, and the method table (CompressionMethods.h) then
// fails to build until the value has its row.
inline constexpr int kMethodCount = coLZH7 + 1;

// Progress of the current entry; a handler that sets PercentageDone to -1 asks to stop.
using TShowProgressEvent = std::function<void(int32_t& PercentageDone)>;

// Code lengths that do not make a complete (or a safe) code: "Bad decode table in archive!".
class ELZHBadDecodeTable : public ECompressError {
public:
    ELZHBadDecodeTable();
};

class TCompThreadSafety;

// Expands SourceSize stored bytes of Source into Dest with the entry's Method. Checksum receives
// the wrapping byte sum of what was written (it keeps its value when the call ends early).
// KeyedInput with a non-zero Key unscrambles the stored bytes with the key's four bytes.
// coNone and coRLE run until the stored bytes are used up; coLZH5, coLZH7 and coLZH produce DestSize bytes
// (the last match may add up to 255 more), running on zero bits when the stored bytes end early.
// Source is read in blocks of 8192 and never past SourceSize; for well-formed data it ends at the
// entry's last stored byte. OnShowProgress hears 0, a percentage after each block read and 100 at
// the end (not after an exception); -1 at the first report returns at once, at a later one ends
// the input there. A negative size counts as 0.
void ExpandStream(TCompThreadSafety& State, TStream& Dest, TStream& Source, int32_t SourceSize,
                  int32_t DestSize, uint8_t Method, int32_t& Checksum, bool KeyedInput, int32_t Key,
                  const TShowProgressEvent& OnShowProgress);

// Done as a percentage of Total, in the 32-bit integer arithmetic progress reports use.
int32_t PercentOf(int32_t Done, int32_t Total);

} // namespace yar

// Helpers for the expansion engine's tests: a bit writer for hand-built stored data, the pieces of
// an lh5 block header, recording streams, and a one-call expansion.
#pragma once

#include "archive/CompThreadSafety.h"
#include "archive/ExpandStream.h"
#include "system/Streams.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace yar::test {

// Writes bits most significant first; the last byte is padded with zero bits.
class TBitWriter {
public:
    void Put(uint32_t value, int bits);
    void PutOnes(int count);
    size_t BitCount() const { return FBits; }
    std::vector<uint8_t> Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
    size_t FBits = 0;
};

// The canonical code of each symbol of a length list (length 0: no code).
struct TCode {
    uint32_t Bits = 0;
    int Length = 0;
};
std::vector<TCode> CanonicalCodes(const std::vector<uint8_t>& lengths);

// lh5 block header pieces, written exactly as the decoder reads them.
namespace lh5 {

// Pre-code and position code lengths: a count field, then 3 bits per length (7 and above: 111,
// length-7 ones, a 0); a 2-bit zero-run field of 0 follows the third length when zeroRunAfter is 3.
void PutAuxLengths(TBitWriter& w, const std::vector<uint8_t>& lengths, int fieldBits, int zeroRunAfter);
// A count field of 0 and the constant symbol.
void PutConstant(TBitWriter& w, uint32_t symbol, int fieldBits);

// The complete pre-code the writers below use: symbols 0..12 take 4 bits, 13..18 five.
std::vector<uint8_t> PreCodeLengths();
void PutPreCodeSymbol(TBitWriter& w, uint32_t symbol);
// Literal/length code lengths (510 entries) through that pre-code, zero runs as runs.
void PutLiteralLengths(TBitWriter& w, const std::vector<uint8_t>& lengths);

// A whole block: symbol count field, pre-code, literal code, position code. An empty length list
// sends the code as the given constant.
struct TBlock {
    uint32_t SymbolField = 0;
    std::vector<uint8_t> LiteralLengths; // 510 entries
    uint32_t ConstantLiteral = 0;
    std::vector<uint8_t> PositionLengths; // 14 entries (lh5) or 17 (lh7)
    uint32_t ConstantPosition = 0;
    int PositionFieldBits = 4; // 5 for lh7
};

// A block whose literal and position codes are constants.
TBlock ConstantBlock(uint32_t symbolField, uint32_t literal, uint32_t position = 0);
// A block with the given literal lengths and position lengths (none: the constant position 0).
TBlock CodedBlock(uint32_t symbolField, std::vector<uint8_t> literalLengths,
                  std::vector<uint8_t> positionLengths = {});

class TBlockWriter {
public:
    TBlockWriter(TBitWriter& w, const TBlock& block);
    void Literal(uint32_t symbol);
    void Match(uint32_t length, uint32_t distance);

private:
    TBitWriter& FW;
    std::vector<TCode> FLiteral;
    std::vector<TCode> FPosition;
};

// 510 literal lengths with the given (symbol, length) pairs set.
std::vector<uint8_t> LiteralLengthsWith(std::initializer_list<std::pair<uint32_t, uint8_t>> set);

} // namespace lh5

// Remembers every Write call.
class TRecordingStream : public TMemoryStream {
public:
    int32_t Write(const void* buffer, int32_t count) override;
    std::vector<int32_t> Writes;
    int32_t FailAfter = -1; // Write calls that succeed before every further one writes nothing
};

struct TExpansion {
    std::vector<uint8_t> Out;
    int32_t Checksum = 0;
    int64_t SourcePosition = 0; // where the source stands afterwards
};

// Expands stored (offered in full; sourceSize defaults to its length) with a fresh state.
TExpansion Expand(uint8_t method, const std::vector<uint8_t>& stored, int32_t destSize,
                  std::optional<int32_t> sourceSize = std::nullopt,
                  const TShowProgressEvent& progress = nullptr, bool keyed = false, int32_t key = 0);

uint32_t ByteSum(const std::vector<uint8_t>& bytes);

} // namespace yar::test

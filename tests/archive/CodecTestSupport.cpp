#include "CodecTestSupport.h"

#include <algorithm>
#include <stdexcept>

namespace yar::test {

void TBitWriter::Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
        if (FBits % 8 == 0) FBytes.push_back(0);
        if ((value >> i) & 1) FBytes.back() = static_cast<uint8_t>(FBytes.back() | 0x80 >> (FBits % 8));
        ++FBits;
    }
}

void TBitWriter::PutOnes(int count) {
    for (int i = 0; i < count; ++i) Put(1, 1);
}

std::vector<TCode> CanonicalCodes(const std::vector<uint8_t>& lengths) {
    std::vector<TCode> codes(lengths.size());
    uint32_t next = 0;
    int previous = 0;
    for (int len = 1; len <= 16; ++len) {
        for (size_t sym = 0; sym < lengths.size(); ++sym) {
            if (lengths[sym] != len) continue;
            next <<= len - previous;
            previous = len;
            codes[sym] = {next++, len};
        }
    }
    return codes;
}

namespace lh5 {

void PutAuxLengths(TBitWriter& w, const std::vector<uint8_t>& lengths, int fieldBits, int zeroRunAfter) {
    w.Put(static_cast<uint32_t>(lengths.size()), fieldBits);
    for (size_t i = 0; i < lengths.size(); ++i) {
        const uint8_t len = lengths[i];
        if (len < 7) {
            w.Put(len, 3);
        } else {
            w.Put(7, 3);
            w.PutOnes(len - 7);
            w.Put(0, 1);
        }
        if (static_cast<int>(i) + 1 == zeroRunAfter) w.Put(0, 2);
    }
}

void PutConstant(TBitWriter& w, uint32_t symbol, int fieldBits) {
    w.Put(0, fieldBits);
    w.Put(symbol, fieldBits);
}

std::vector<uint8_t> PreCodeLengths() {
    std::vector<uint8_t> lengths(19, 4);
    std::fill(lengths.begin() + 13, lengths.end(), 5);
    return lengths;
}

void PutPreCodeSymbol(TBitWriter& w, uint32_t symbol) {
    static const std::vector<TCode> codes = CanonicalCodes(PreCodeLengths());
    w.Put(codes.at(symbol).Bits, codes.at(symbol).Length);
}

void PutLiteralLengths(TBitWriter& w, const std::vector<uint8_t>& lengths) {
    size_t n = lengths.size();
    while (n > 0 && lengths[n - 1] == 0) --n;
    w.Put(static_cast<uint32_t>(n), 9);
    for (size_t i = 0; i < n;) {
        if (lengths[i] != 0) {
            PutPreCodeSymbol(w, lengths[i] + 2u);
            ++i;
            continue;
        }
        size_t run = 0;
        while (i + run < n && lengths[i + run] == 0) ++run;
        if (run >= 20) {
            run = std::min<size_t>(run, 531);
            PutPreCodeSymbol(w, 2);
            w.Put(static_cast<uint32_t>(run - 20), 9);
        } else if (run >= 3) {
            run = std::min<size_t>(run, 18);
            PutPreCodeSymbol(w, 1);
            w.Put(static_cast<uint32_t>(run - 3), 4);
        } else {
            run = 1;
            PutPreCodeSymbol(w, 0);
        }
        i += run;
    }
}

TBlock ConstantBlock(uint32_t symbolField, uint32_t literal, uint32_t position) {
    TBlock block;
    block.SymbolField = symbolField;
    block.ConstantLiteral = literal;
    block.ConstantPosition = position;
    return block;
}

TBlock CodedBlock(uint32_t symbolField, std::vector<uint8_t> literalLengths,
                  std::vector<uint8_t> positionLengths) {
    TBlock block;
    block.SymbolField = symbolField;
    block.LiteralLengths = std::move(literalLengths);
    block.PositionLengths = std::move(positionLengths);
    return block;
}

TBlockWriter::TBlockWriter(TBitWriter& w, const TBlock& block) : FW(w) {
    w.Put(block.SymbolField, 16);
    PutAuxLengths(w, PreCodeLengths(), 5, 3);
    if (block.LiteralLengths.empty()) {
        PutConstant(w, block.ConstantLiteral, 9);
    } else {
        PutLiteralLengths(w, block.LiteralLengths);
        FLiteral = CanonicalCodes(block.LiteralLengths);
    }
    if (block.PositionLengths.empty()) {
        PutConstant(w, block.ConstantPosition, block.PositionFieldBits);
    } else {
        PutAuxLengths(w, block.PositionLengths, block.PositionFieldBits, -1);
        FPosition = CanonicalCodes(block.PositionLengths);
    }
}

void TBlockWriter::Literal(uint32_t symbol) {
    if (!FLiteral.empty()) FW.Put(FLiteral.at(symbol).Bits, FLiteral.at(symbol).Length);
}

void TBlockWriter::Match(uint32_t length, uint32_t distance) {
    Literal(length + 253);
    uint32_t j = 0;
    while (j < 17 && (distance >> j) != 0) ++j; // position symbol: bit length of distance
    if (!FPosition.empty()) FW.Put(FPosition.at(j).Bits, FPosition.at(j).Length);
    if (j > 1) FW.Put(distance - (1u << (j - 1)), static_cast<int>(j - 1));
}

std::vector<uint8_t> LiteralLengthsWith(std::initializer_list<std::pair<uint32_t, uint8_t>> set) {
    std::vector<uint8_t> lengths(510, 0);
    for (const auto& [symbol, length] : set) lengths.at(symbol) = length;
    return lengths;
}

} // namespace lh5

int32_t TRecordingStream::Write(const void* buffer, int32_t count) {
    if (FailAfter >= 0 && static_cast<int32_t>(Writes.size()) >= FailAfter) return 0;
    Writes.push_back(count);
    return TMemoryStream::Write(buffer, count);
}

TExpansion Expand(uint8_t method, const std::vector<uint8_t>& stored, int32_t destSize,
                  std::optional<int32_t> sourceSize, const TShowProgressEvent& progress, bool keyed,
                  int32_t key) {
    TCompThreadSafety state;
    TMemoryStream source(stored);
    TMemoryStream dest;
    TExpansion result;
    ExpandStream(state, dest, source, sourceSize.value_or(static_cast<int32_t>(stored.size())), destSize,
                 method, result.Checksum, keyed, key, progress);
    result.Out.assign(dest.Bytes().begin(), dest.Bytes().end());
    result.SourcePosition = source.Position();
    return result;
}

uint32_t ByteSum(const std::vector<uint8_t>& bytes) {
    uint32_t sum = 0;
    for (uint8_t b : bytes) sum += b;
    return sum;
}

} // namespace yar::test

// coLZH encoding: LZSS over the 4 KiB window. Literals and match lengths share one adaptive Huffman
// tree that this encoder updates after every symbol exactly as the expansion engine does, so both see
// the same code; the upper six bits of a match position have a fixed code, the lower six go plain.
#include "archive/LzhModel.h"
#include "tools/builder/BitWriter.h"
#include "tools/builder/Encoders.h"
#include "tools/builder/LzParser.h"

#include <cstdint>

namespace yar::builder {

namespace {

constexpr unsigned kWindowSize = 4096;                     // N
constexpr unsigned kMaxMatch = 60;                         // F
constexpr unsigned kWindowStart = kWindowSize - kMaxMatch; // the decoder's window holds spaces before this
constexpr unsigned kLengthBias = 253;                      // a match of length L is symbol L + 253
constexpr unsigned kNodes = TLzhModel::kNodes;             // T
constexpr unsigned kRoot = TLzhModel::kRoot;
constexpr uint32_t kMaxChain = 256;

// The shared adaptive Huffman tree, with the code of a symbol read off as its path from the root.
class TAdaptiveModel {
public:
    TAdaptiveModel() { FModel.Start(); }

    // Writes the current code of sym (the path from the root to its leaf), then counts sym.
    void Put(TBitWriter& out, unsigned sym) {
        // Frequencies below 0x8000 at the root keep the tree far shallower than 64 levels.
        uint64_t path = 0;
        unsigned depth = 0;
        for (unsigned node = FModel.Parent[sym + kNodes]; node != kRoot; node = FModel.Parent[node]) {
            path |= uint64_t{node - FModel.Son[FModel.Parent[node]]}
                    << depth++; // 0 for the first child, 1 for the second
        }
        if (depth > 32) out.Put(static_cast<uint32_t>(path >> 32), depth - 32);
        out.Put(static_cast<uint32_t>(path), depth > 32 ? 32 : depth);
        FModel.Update(sym);
    }

private:
    TLzhModel FModel{};
};

// Position p (distance minus 1, 0..4095): the upper six bits by the fixed code, the lower six plain.
void PutPosition(TBitWriter& out, unsigned p) {
    const unsigned upper = p >> 6;
    out.Put(kLzhPositionCode.Code[upper], kLzhPositionCode.CodeLength[upper]);
    out.Put(p & 0x3F, 6);
}

} // namespace

std::vector<uint8_t> EncodeLZH(std::span<const uint8_t> data) {
    if (data.empty()) return {}; // an empty entry stores nothing
    // The data behind the spaces a decoder's window starts with, so matches may copy those too.
    std::vector<uint8_t> buffer(kWindowStart, ' ');
    buffer.insert(buffer.end(), data.begin(), data.end());
    TLzParams params;
    params.WindowSize = kWindowSize;
    params.MaxMatch = kMaxMatch;
    params.NiceLength = kMaxMatch;
    params.MaxChain = kMaxChain;
    TAdaptiveModel model;
    TBitWriter out;
    for (const TLzToken& t : ParseLz(buffer, kWindowStart, params)) {
        if (t.IsLiteral()) {
            model.Put(out, t.Value);
        } else {
            model.Put(out, t.Length + kLengthBias);
            PutPosition(out, t.Value - 1u);
        }
    }
    return out.Finish();
}

} // namespace yar::builder

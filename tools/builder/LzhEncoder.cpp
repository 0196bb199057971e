// coLZH encoding: LZSS over the 4 KiB window. Literals and match lengths share one adaptive Huffman
// tree that this encoder updates after every symbol exactly as the expansion engine does, so both see
// the same code; the upper six bits of a match position have a fixed code, the lower six go plain.
#include "archive/LzhModel.h"
#include "tools/builder/BitWriter.h"
#include "tools/builder/Encoders.h"
#include "tools/builder/LzParser.h"

#include <cstdint>
#include <memory>
#include <vector>

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

TLzParams LzhParams() {
    TLzParams params;
    params.WindowSize = kWindowSize;
    params.MaxMatch = kMaxMatch;
    params.NiceLength = kMaxMatch;
    params.MaxChain = kMaxChain;
    return params;
}

// The window a decoder starts with: spaces, behind which the data follows, so matches may copy those.
const std::vector<uint8_t> kStartWindow(kWindowStart, ' ');

class TLzhEncoder final : public TStreamEncoder {
public:
    TLzhEncoder() : FParser(LzhParams(), kStartWindow) {}

    void Put(std::span<const uint8_t> data, std::vector<uint8_t>& out) override {
        FParser.Put(data, FTokens);
        PutTokens(out);
    }

    void Finish(std::vector<uint8_t>& out) override {
        FParser.Finish(FTokens);
        PutTokens(out);
        const auto last = FBits.Finish(); // an empty entry stores nothing
        out.insert(out.end(), last.begin(), last.end());
    }

    uint64_t BytesCoded() const override { return FCoded; }

private:
    TLzStreamParser FParser;
    std::vector<TLzToken> FTokens;
    TAdaptiveModel FModel;
    TBitWriter FBits;
    uint64_t FCoded = 0;

    void PutTokens(std::vector<uint8_t>& out) {
        for (const TLzToken& t : FTokens) {
            if (t.IsLiteral()) {
                FModel.Put(FBits, t.Value);
            } else {
                FModel.Put(FBits, t.Length + kLengthBias);
                PutPosition(FBits, t.Value - 1u);
            }
            FCoded += t.Covers();
        }
        FTokens.clear();
        FBits.TakeBytes(out);
    }
};

} // namespace

std::unique_ptr<TStreamEncoder> MakeLZHEncoder() {
    return std::make_unique<TLzhEncoder>();
}

std::vector<uint8_t> EncodeLZH(std::span<const uint8_t> data) {
    return EncodeAll(*MakeLZHEncoder(), data);
}

} // namespace yar::builder

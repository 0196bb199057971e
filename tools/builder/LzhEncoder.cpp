// coLZH encoding: LZSS over the 4 KiB window. Literals and match lengths share one adaptive Huffman
// tree that this encoder updates after every symbol exactly as the expansion engine does, so both see
// the same code; the upper six bits of a match position have a fixed code, the lower six go plain.
#include "tools/builder/BitWriter.h"
#include "tools/builder/Encoders.h"
#include "tools/builder/LzParser.h"

#include <array>
#include <cstring>

namespace yar::builder {

namespace {

constexpr unsigned kWindowSize = 4096;                     // N
constexpr unsigned kMaxMatch = 60;                         // F
constexpr unsigned kWindowStart = kWindowSize - kMaxMatch; // the decoder's window holds spaces before this
constexpr unsigned kLengthBias = 253;                      // a match of length L is symbol L + 253
constexpr unsigned kSymbols = 314;                         // 256 bytes + 58 match lengths
constexpr unsigned kNodes = 2 * kSymbols - 1;              // T
constexpr unsigned kRoot = kNodes - 1;
constexpr uint16_t kRebuildAt = 0x8000; // root frequency that halves all counts
constexpr uint32_t kMaxChain = 256;

// The adaptive Huffman tree: nodes in ascending frequency order, sibling pairs at even/odd positions,
// leaves holding symbol + kNodes in Son.
class TAdaptiveModel {
public:
    TAdaptiveModel() {
        for (unsigned i = 0; i < kSymbols; ++i) {
            FFreq[i] = 1;
            FSon[i] = static_cast<uint16_t>(i + kNodes);
            FParent[i + kNodes] = static_cast<uint16_t>(i);
        }
        for (unsigned i = 0, j = kSymbols; j < kNodes; i += 2, ++j) {
            FFreq[j] = static_cast<uint16_t>(FFreq[i] + FFreq[i + 1]);
            FSon[j] = static_cast<uint16_t>(i);
            FParent[i] = FParent[i + 1] = static_cast<uint16_t>(j);
        }
        FFreq[kNodes] = 0xFFFF;
        FParent[kRoot] = 0;
    }

    // Writes the current code of sym (the path from the root to its leaf), then counts sym.
    void Put(TBitWriter& out, unsigned sym) {
        // Frequencies below 0x8000 at the root keep the tree far shallower than 64 levels.
        uint64_t path = 0;
        unsigned depth = 0;
        for (unsigned node = FParent[sym + kNodes]; node != kRoot; node = FParent[node]) {
            path |= uint64_t{node - FSon[FParent[node]]}
                    << depth++; // 0 for the first child, 1 for the second
        }
        if (depth > 32) out.Put(static_cast<uint32_t>(path >> 32), depth - 32);
        out.Put(static_cast<uint32_t>(path), depth > 32 ? 32 : depth);
        Update(sym);
    }

private:
    std::array<uint16_t, kNodes + 1> FFreq{};          // the last entry is a sentinel
    std::array<uint16_t, kNodes> FSon{};               // leaf: symbol + kNodes; inner: its first child
    std::array<uint16_t, kNodes + kSymbols> FParent{}; // parents of nodes, then the leaf of each symbol

    void SetParentOfChildren(unsigned node) {
        const unsigned child = FSon[node];
        FParent[child] = static_cast<uint16_t>(node);
        if (child < kNodes) FParent[child + 1] = static_cast<uint16_t>(node);
    }

    // Halves every leaf count and builds the tree anew from the leaves.
    void RebuildTree() {
        unsigned j = 0;
        for (unsigned i = 0; i < kNodes; ++i) {
            if (FSon[i] >= kNodes) {
                FFreq[j] = static_cast<uint16_t>((FFreq[i] + 1) / 2);
                FSon[j] = FSon[i];
                ++j;
            }
        }
        for (unsigned i = 0, node = kSymbols; node < kNodes; i += 2, ++node) {
            const auto f = static_cast<uint16_t>(FFreq[i] + FFreq[i + 1]);
            unsigned k = node;
            while (k > 0 && FFreq[k - 1] > f) --k;
            const size_t moved = node - k;
            std::memmove(&FFreq[k + 1], &FFreq[k], moved * sizeof FFreq[0]);
            std::memmove(&FSon[k + 1], &FSon[k], moved * sizeof FSon[0]);
            FFreq[k] = f;
            FSon[k] = static_cast<uint16_t>(i);
        }
        for (unsigned i = 0; i < kNodes; ++i) SetParentOfChildren(i);
    }

    // Counts sym on its path to the root, moving each node that now outweighs its successors behind
    // them so that frequencies stay in ascending node order.
    void Update(unsigned sym) {
        if (FFreq[kRoot] == kRebuildAt) RebuildTree();
        unsigned node = FParent[sym + kNodes];
        do {
            const auto k = static_cast<uint16_t>(FFreq[node] + 1);
            FFreq[node] = k;
            if (k > FFreq[node + 1]) {
                unsigned l = node + 1;
                while (k > FFreq[l + 1]) ++l; // the sentinel ends the scan
                FFreq[node] = FFreq[l];
                FFreq[l] = k;
                const uint16_t i = FSon[node];
                FSon[node] = FSon[l];
                FSon[l] = i;
                SetParentOfChildren(l);
                SetParentOfChildren(node);
                node = l;
            }
            node = FParent[node];
        } while (node != 0);
    }
};

// The fixed code of the upper six position bits: 1, 3, 8, 12, 24 and 16 values take 3 to 8 bits,
// code values counting upward from 0.
struct TPositionCode {
    std::array<uint8_t, 64> Code{};
    std::array<uint8_t, 64> Length{};
};

constexpr TPositionCode MakePositionCode() {
    TPositionCode code;
    constexpr unsigned kValuesOfLength[] = {1, 3, 8, 12, 24, 16}; // code lengths 3..8
    unsigned top8 = 0;                                            // the code left-aligned in eight bits
    unsigned value = 0;
    for (unsigned len = 3; len <= 8; ++len) {
        for (unsigned v = 0; v < kValuesOfLength[len - 3]; ++v, ++value) {
            code.Code[value] = static_cast<uint8_t>(top8 >> (8 - len));
            code.Length[value] = static_cast<uint8_t>(len);
            top8 += 1u << (8 - len);
        }
    }
    return code;
}

constexpr TPositionCode kPositionCode = MakePositionCode();

// Position p (distance minus 1, 0..4095): the upper six bits by the fixed code, the lower six plain.
void PutPosition(TBitWriter& out, unsigned p) {
    const unsigned upper = p >> 6;
    out.Put(kPositionCode.Code[upper], kPositionCode.Length[upper]);
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

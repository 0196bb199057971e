// The parts of coLZH that the expansion engine and the builder's encoder share: the adaptive Huffman
// tree of literals and match lengths, which both sides update after every symbol so that they see the
// same code, and the fixed code of the upper six bits of a match position.
#pragma once

#include <array>
#include <cstdint>

namespace yar {

// The adaptive Huffman tree: nodes in ascending frequency order, sibling pairs at even/odd positions,
// leaves holding symbol + kNodes in Son. A plain aggregate, so that it can live inside per-entry state.
struct TLzhModel {
    static constexpr int kSymbols = 314;            // 256 bytes + 58 match lengths
    static constexpr int kNodes = 2 * kSymbols - 1; // T; the root is node kNodes - 1
    static constexpr int kRoot = kNodes - 1;
    static constexpr uint16_t kRebuildAt = 0x8000; // root frequency that halves all counts

    uint16_t Freq[kNodes + 1];          // entry kNodes is a sentinel held at 0xFFFF
    uint16_t Son[kNodes];               // leaf: symbol + kNodes; inner node: first of its two children
    uint16_t Parent[kNodes + kSymbols]; // parents of nodes, then at symbol + kNodes its leaf

    // Every symbol counted once, in a balanced tree.
    void Start();
    // Halves every leaf count and builds the tree anew from the leaves.
    void RebuildTree();

    void SetParentOfChildren(int node) {
        const int child = Son[node];
        Parent[child] = static_cast<uint16_t>(node);
        if (child < kNodes) Parent[child + 1] = static_cast<uint16_t>(node);
    }

    // Counts sym on its path to the root, moving each node that now outweighs its successors behind
    // them so that frequencies stay in ascending node order.
    void Update(uint32_t sym) {
        if (Freq[kRoot] == kRebuildAt) RebuildTree();
        int node = Parent[sym + kNodes];
        do {
            const auto k = static_cast<uint16_t>(Freq[node] + 1);
            Freq[node] = k;
            if (k > Freq[node + 1]) {
                int l = node + 1;
                while (k > Freq[l + 1]) ++l; // the sentinel ends the scan
                Freq[node] = Freq[l];
                Freq[l] = k;
                const uint16_t i = Son[node];
                Son[node] = Son[l];
                Son[l] = i;
                SetParentOfChildren(l);
                SetParentOfChildren(node);
                node = l;
            }
            node = Parent[node];
        } while (node != 0);
    }
};

// The fixed code of the upper six position bits: 1, 3, 8, 12, 24 and 16 values (0, 1..3, 4..11,
// 12..23, 24..47, 48..63) take 3 to 8 bits, code values counting upward from 0.
struct TLzhPositionCode {
    // Decoding, looked up by the next eight input bits: the value and the length of its code.
    std::array<uint8_t, 256> Upper{};
    std::array<uint8_t, 256> UpperLength{};
    // Encoding, looked up by the value: its code (right-aligned) and the code's length.
    std::array<uint8_t, 64> Code{};
    std::array<uint8_t, 64> CodeLength{};
};

constexpr TLzhPositionCode MakeLzhPositionCode() {
    TLzhPositionCode code;
    constexpr int kValuesOfLength[] = {1, 3, 8, 12, 24, 16}; // code lengths 3..8
    int top8 = 0;                                            // the code left-aligned in eight bits
    int value = 0;
    for (int len = 3; len <= 8; ++len) {
        for (int v = 0; v < kValuesOfLength[len - 3]; ++v, ++value) {
            code.Code[value] = static_cast<uint8_t>(top8 >> (8 - len));
            code.CodeLength[value] = static_cast<uint8_t>(len);
            for (int span = 0; span < 1 << (8 - len); ++span, ++top8) {
                code.Upper[top8] = static_cast<uint8_t>(value);
                code.UpperLength[top8] = static_cast<uint8_t>(len);
            }
        }
    }
    return code;
}

inline constexpr TLzhPositionCode kLzhPositionCode = MakeLzhPositionCode();

} // namespace yar

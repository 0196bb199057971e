// Bit output of the builder's Huffman encoders: codes are packed most significant bit first, bytes in
// stream order, which is how the expansion engine's bit readers take them apart.
#pragma once

#include <cstdint>
#include <vector>

namespace yar::builder {

class TBitWriter {
public:
    // Appends the low count bits of value (count 0..32), its highest of those bits first.
    void Put(uint32_t value, unsigned count) {
        if (count == 0) return;
        FAcc = (FAcc << count) | (value & (0xFFFFFFFFu >> (32 - count)));
        FBits += count;
        while (FBits >= 8) {
            FBits -= 8;
            FBytes.push_back(static_cast<uint8_t>(FAcc >> FBits));
        }
    }

    uint64_t BitsWritten() const { return uint64_t{FBytes.size()} * 8 + FBits; }

    // Moves the whole bytes written so far to the end of out; the pending bits stay.
    void TakeBytes(std::vector<uint8_t>& out) {
        out.insert(out.end(), FBytes.begin(), FBytes.end());
        FBytes.clear();
    }

    // The bytes written, the last one padded with zero bits. The stream thus ends with the byte that
    // holds the last code bit, so a decoder that reads ahead still fetches every stored byte.
    std::vector<uint8_t> Finish() {
        if (FBits > 0) FBytes.push_back(static_cast<uint8_t>(FAcc << (8 - FBits)));
        FBits = 0;
        FAcc = 0;
        return std::move(FBytes);
    }

private:
    std::vector<uint8_t> FBytes;
    uint64_t FAcc = 0;  // pending bits at the bottom
    unsigned FBits = 0; // how many of them (below 8 between calls)
};

} // namespace yar::builder

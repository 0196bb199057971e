// Encoders of the builder: the writing counterparts of the expansion engine's methods.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace yar::builder {

std::vector<uint8_t> EncodeLZH5(std::span<const uint8_t> data); // lh5: LZ77, 8 KiB window, static Huffman
std::vector<uint8_t> EncodeLZH(std::span<const uint8_t> data);  // LZHUF: 4 KiB window, adaptive Huffman
std::vector<uint8_t> EncodeRLE(std::span<const uint8_t> data);  // runs with the 0x94 escape byte

// Tuning of the lh5 encoder; the defaults are what EncodeLZH5(data) uses.
struct TLH5Options {
    // Most literals and matches in one block (1..65535). Blocks end earlier where the data changes
    // enough that fresh codes pay for their header.
    uint32_t BlockSymbols = 65535;
    // Match candidates tried per position: more compress a little better, and slower.
    uint32_t MaxChain = 512;
};
std::vector<uint8_t> EncodeLZH5(std::span<const uint8_t> data, const TLH5Options& options);

} // namespace yar::builder

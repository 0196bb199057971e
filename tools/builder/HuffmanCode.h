// Static Huffman codes for the lh5 encoder: length-limited code lengths from symbol counts, and the
// canonical code values the expansion engine rebuilds from those lengths.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace yar::builder {

// Code lengths (1..maxLength, 0 for symbols that do not occur) of a prefix code for the given counts
// that fills the code space exactly. Fewer than two occurring symbols need no code: all lengths are 0.
std::vector<uint8_t> HuffmanLengths(std::span<const uint32_t> counts, unsigned maxLength);

// Canonical codes for the lengths: shorter codes first, equal lengths in symbol order, values counting
// upward. Each code sits in the low bits of its entry.
std::vector<uint16_t> CanonicalCodes(std::span<const uint8_t> lengths);

} // namespace yar::builder

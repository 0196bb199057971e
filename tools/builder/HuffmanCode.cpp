#include "tools/builder/HuffmanCode.h"

#include <algorithm>
#include <stdexcept>

namespace yar::builder {

namespace {

constexpr unsigned kMaxCodeLength = 16; // the longest code the expansion engine's tables take

// Depth of each leaf of a Huffman tree over weights sorted in ascending order (two-queue method:
// leaves and the merged nodes, which arise in ascending order too, are taken smallest first).
std::vector<unsigned> HuffmanDepths(std::span<const uint64_t> sortedWeights) {
    const size_t m = sortedWeights.size();
    std::vector<uint64_t> weight(sortedWeights.begin(), sortedWeights.end());
    weight.resize(2 * m - 1);
    std::vector<size_t> parent(2 * m - 1, 0);
    size_t leaf = 0;
    size_t inner = m;
    auto takeSmallest = [&](size_t next) {
        if (leaf < m && (inner == next || weight[leaf] <= weight[inner])) return leaf++;
        return inner++;
    };
    for (size_t next = m; next < 2 * m - 1; ++next) {
        const size_t a = takeSmallest(next);
        const size_t b = takeSmallest(next);
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = next;
    }
    std::vector<unsigned> depth(2 * m - 1, 0);
    for (size_t node = 2 * m - 1; node-- > 0;) {
        if (node != 2 * m - 2) depth[node] = depth[parent[node]] + 1;
    }
    depth.resize(m);
    return depth;
}

} // namespace

std::vector<uint8_t> HuffmanLengths(std::span<const uint32_t> counts, unsigned maxLength) {
    if (maxLength == 0 || maxLength > kMaxCodeLength)
        throw std::invalid_argument("code length limit out of range");
    std::vector<uint8_t> lengths(counts.size(), 0);
    std::vector<size_t> used; // occurring symbols, least frequent first
    for (size_t s = 0; s < counts.size(); ++s) {
        if (counts[s] != 0) used.push_back(s);
    }
    if (used.size() < 2) return lengths;
    if (used.size() > (size_t{1} << maxLength))
        throw std::invalid_argument("too many symbols for the code length limit");
    std::stable_sort(used.begin(), used.end(), [&](size_t a, size_t b) { return counts[a] < counts[b]; });

    std::vector<uint64_t> weights(used.size());
    std::transform(used.begin(), used.end(), weights.begin(), [&](size_t s) { return uint64_t{counts[s]}; });
    uint32_t perLength[kMaxCodeLength + 1] = {};
    for (unsigned d : HuffmanDepths(weights)) ++perLength[std::min(d, maxLength)];

    // Leaves cut back to the limit overfill the code space; each round gives back one unit of it by
    // moving a leaf from the deepest level that has one below the limit down a level, beside a leaf
    // taken from the limit level.
    uint64_t kraft = 0;
    for (unsigned len = 1; len <= maxLength; ++len) kraft += uint64_t{perLength[len]} << (maxLength - len);
    for (; kraft > (uint64_t{1} << maxLength); --kraft) {
        --perLength[maxLength];
        for (unsigned len = maxLength - 1; len > 0; --len) {
            if (perLength[len] != 0) {
                --perLength[len];
                perLength[len + 1] += 2;
                break;
            }
        }
    }

    // The least frequent symbols get the longest codes.
    auto next = used.begin();
    for (unsigned len = maxLength; len > 0; --len) {
        for (uint32_t k = 0; k < perLength[len]; ++k) lengths[*next++] = static_cast<uint8_t>(len);
    }
    return lengths;
}

std::vector<uint16_t> CanonicalCodes(std::span<const uint8_t> lengths) {
    uint32_t nextCode[kMaxCodeLength + 2] = {};
    uint32_t perLength[kMaxCodeLength + 1] = {};
    for (uint8_t len : lengths) {
        if (len > kMaxCodeLength) throw std::invalid_argument("code length above 16");
        if (len != 0) ++perLength[len];
    }
    for (unsigned len = 1; len <= kMaxCodeLength; ++len)
        nextCode[len + 1] = (nextCode[len] + perLength[len]) << 1;
    std::vector<uint16_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] != 0) codes[s] = static_cast<uint16_t>(nextCode[lengths[s]]++);
    }
    return codes;
}

} // namespace yar::builder

// Near-optimal parsing for the lh5 family: the data is taken in chunks, every match of each position
// is found once, and the cheapest path through a chunk is chosen under the bit costs of the codes
// its own previous path would get (the first path of a chunk priced by the chunk before it), twice.
#pragma once

#include "tools/builder/LzParser.h"

#include <array>

namespace yar::builder {

// Bit costs of the literal/length symbols and the position symbols of an lh5-family stream, in
// sixteenths of a bit, as counts of the symbols make them.
struct TLhCosts {
    static constexpr unsigned kLiteralSymbols = 510;
    static constexpr unsigned kPositionSymbols = 18;
    std::array<uint32_t, kLiteralSymbols> Literal{};
    std::array<uint32_t, kPositionSymbols> Position{};

    // About -log2 of each symbol's share; a symbol that did not occur costs two bits more than one
    // that occurred once. Integer arithmetic only, so every host makes the same choices.
    static TLhCosts FromCounts(std::span<const uint32_t, kLiteralSymbols> literals,
                               std::span<const uint32_t, kPositionSymbols> positions);
    // A match's cost is that of its length plus that of its distance: the position symbol and the
    // position's extra bits.
    uint32_t Length(uint32_t length) const;
    uint32_t Distance(uint32_t distance) const;
};

class TLhOptimalParser final : public TLzTokenizer {
public:
    explicit TLhOptimalParser(const TLzParams& params);

    void Put(std::span<const uint8_t> data, std::vector<TLzToken>& tokens) override;
    void Finish(std::vector<TLzToken>& tokens) override;

private:
    TLzWindow FWindow;
    int64_t FPos = 0; // the start of the next chunk
    // The chunk's matches: those of position i at FMatches[FFirst[i]..FFirst[i + 1]).
    std::vector<TLzToken> FMatches;
    std::vector<uint32_t> FFirst;
    std::vector<uint32_t> FCost;    // cheapest cost found to reach each position of the chunk
    std::vector<TLzToken> FArrival; // the token that reaches it so
    std::vector<TLzToken> FPath;
    std::array<uint32_t, TLhCosts::kLiteralSymbols> FLiteralCounts{};
    std::array<uint32_t, TLhCosts::kPositionSymbols> FPositionCounts{};
    bool FHasCounts = false;

    void ParseChunk(int64_t end, std::vector<TLzToken>& tokens);
    void FindMatches(int64_t end);
    void CountGreedyPath(size_t n);
    void CheapestPath(size_t n, const TLhCosts& costs);
    void CountPath();
};

} // namespace yar::builder

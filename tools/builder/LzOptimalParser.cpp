#include "tools/builder/LzOptimalParser.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace yar::builder {

namespace {

constexpr int64_t kChunk = 32 * 1024;
constexpr size_t kMatchesPerPosition = 10;
constexpr unsigned kPaths = 2;        // each priced by the counts of the one before
constexpr unsigned kLengthBias = 253; // a match of length L is literal/length symbol L + 253
constexpr uint32_t kUnreached = std::numeric_limits<uint32_t>::max();

// 16 * log2(x), to within about a sixteenth of a bit.
uint32_t Log2x16(uint64_t x) {
    static constexpr uint8_t kFraction[16] = {0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 15};
    const auto top = static_cast<unsigned>(std::bit_width(x | 1) - 1); // 0 counts as 1
    const auto next4 = static_cast<unsigned>(top >= 4 ? x >> (top - 4) & 15 : x << (4 - top) & 15);
    return 16 * top + kFraction[next4];
}

template <size_t N> void FillCosts(std::span<const uint32_t, N> counts, std::array<uint32_t, N>& costs) {
    uint64_t total = 0;
    for (uint32_t c : counts) total += c;
    const uint32_t all = Log2x16(total + 1);
    for (size_t s = 0; s < N; ++s)
        costs[s] = counts[s] != 0 ? std::max<uint32_t>(all - Log2x16(counts[s]), 16) : all + 32;
}

unsigned PositionSymbol(uint32_t distance) {
    return static_cast<unsigned>(std::bit_width(distance - 1));
}

} // namespace

TLhCosts TLhCosts::FromCounts(std::span<const uint32_t, kLiteralSymbols> literals,
                              std::span<const uint32_t, kPositionSymbols> positions) {
    TLhCosts costs;
    FillCosts(literals, costs.Literal);
    FillCosts(positions, costs.Position);
    return costs;
}

uint32_t TLhCosts::Length(uint32_t length) const {
    return Literal[length + kLengthBias];
}

uint32_t TLhCosts::Distance(uint32_t distance) const {
    const unsigned p = PositionSymbol(distance);
    return Position[p] + 16 * (p > 1 ? p - 1 : 0);
}

TLhOptimalParser::TLhOptimalParser(const TLzParams& params) : FWindow(params) {}

// Every match of each position, ending within the chunk. After a match of NiceLength or more the
// positions it covers are not searched: the path takes it, or the bytes it covers one by one.
void TLhOptimalParser::FindMatches(int64_t end) {
    const auto n = static_cast<size_t>(end - FPos);
    FMatches.clear();
    FFirst.assign(n + 1, 0);
    std::array<TLzMatch, kMatchesPerPosition> found;
    int64_t searchFrom = FPos;
    for (size_t i = 0; i < n; ++i) {
        const int64_t pos = FPos + static_cast<int64_t>(i);
        FWindow.InsertUpTo(pos);
        const size_t count =
            pos < searchFrom ? 0 : FWindow.Matches(pos, static_cast<uint32_t>(end - pos), found);
        for (size_t k = 0; k < count; ++k)
            FMatches.push_back(
                {static_cast<uint16_t>(found[k].Length), static_cast<uint16_t>(found[k].Distance)});
        FFirst[i + 1] = static_cast<uint32_t>(FMatches.size());
        if (count != 0 && found[count - 1].Length >= FWindow.Params().NiceLength)
            searchFrom = pos + found[count - 1].Length;
    }
}

// The counts of the path that takes the longest match wherever there is one: the first chunk's
// first prices.
void TLhOptimalParser::CountGreedyPath(size_t n) {
    FPath.clear();
    for (size_t i = 0; i < n;) {
        if (FFirst[i + 1] != FFirst[i]) {
            FPath.push_back(FMatches[FFirst[i + 1] - 1]);
            i += FPath.back().Length;
        } else {
            FPath.push_back({0, *FWindow.At(FPos + static_cast<int64_t>(i))});
            ++i;
        }
    }
    CountPath();
}

void TLhOptimalParser::CountPath() {
    FLiteralCounts.fill(0);
    FPositionCounts.fill(0);
    for (const TLzToken& t : FPath) {
        ++FLiteralCounts[t.IsLiteral() ? t.Value : t.Length + kLengthBias];
        if (!t.IsLiteral()) ++FPositionCounts[PositionSymbol(t.Value)];
    }
    FHasCounts = true;
}

// The cheapest way through the chunk, position by position: each position's cost is final once the
// positions before it have been extended by a literal and by every length of every match. The path
// is left in FPath, first token first.
void TLhOptimalParser::CheapestPath(size_t n, const TLhCosts& costs) {
    FCost.assign(n + 1, kUnreached);
    FArrival.resize(n + 1);
    FCost[0] = 0;
    const uint32_t minMatch = FWindow.Params().MinMatch;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t here = FCost[i];
        const uint8_t byte = *FWindow.At(FPos + static_cast<int64_t>(i));
        if (here + costs.Literal[byte] < FCost[i + 1]) {
            FCost[i + 1] = here + costs.Literal[byte];
            FArrival[i + 1] = {0, byte};
        }
        uint32_t length = minMatch;
        for (uint32_t k = FFirst[i]; k < FFirst[i + 1]; ++k) {
            const TLzToken m = FMatches[k];
            const uint32_t reach = here + costs.Distance(m.Value);
            // Each length up to this match's is the nearest match of that length.
            for (; length <= m.Length; ++length) {
                const uint32_t cost = reach + costs.Length(length);
                if (cost < FCost[i + length]) {
                    FCost[i + length] = cost;
                    FArrival[i + length] = {static_cast<uint16_t>(length), m.Value};
                }
            }
        }
    }
    FPath.clear();
    for (size_t i = n; i > 0; i -= FArrival[i].Covers()) FPath.push_back(FArrival[i]);
    std::reverse(FPath.begin(), FPath.end());
}

void TLhOptimalParser::ParseChunk(int64_t end, std::vector<TLzToken>& tokens) {
    const auto n = static_cast<size_t>(end - FPos);
    FindMatches(end);
    if (!FHasCounts) CountGreedyPath(n);
    for (unsigned pass = 0; pass < kPaths; ++pass) {
        CheapestPath(n, TLhCosts::FromCounts(FLiteralCounts, FPositionCounts));
        CountPath();
    }
    tokens.insert(tokens.end(), FPath.begin(), FPath.end());
    FPos = end;
    FWindow.Release(FPos - FWindow.Params().WindowSize - 1);
}

// Chunks start at fixed positions and their matches end within them, so the tokens do not depend
// on how the data arrives.
void TLhOptimalParser::Put(std::span<const uint8_t> data, std::vector<TLzToken>& tokens) {
    FWindow.Append(data);
    while (FWindow.End() - FPos >= kChunk) ParseChunk(FPos + kChunk, tokens);
}

void TLhOptimalParser::Finish(std::vector<TLzToken>& tokens) {
    if (FWindow.End() > FPos) ParseChunk(FWindow.End(), tokens);
}

} // namespace yar::builder

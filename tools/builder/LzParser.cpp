#include "tools/builder/LzParser.h"

#include <algorithm>
#include <stdexcept>

namespace yar::builder {

namespace {

constexpr unsigned kHashBits = 15;
constexpr int32_t kNone = -1;

struct TMatch {
    uint32_t Length = 0;
    uint32_t Distance = 0;
};

// Hash chains over the buffer: Head holds the latest position of each 3-byte hash, Prev (a ring as
// large as the window) the position before it with the same hash. Chains run from new to old.
class TMatchFinder {
public:
    TMatchFinder(std::span<const uint8_t> buffer, const TLzParams& params)
        : FBuf(buffer), FParams(params), FHead(size_t{1} << kHashBits, kNone),
          FPrev(params.WindowSize, kNone), FMask(params.WindowSize - 1) {}

    // Adds the positions up to end (exclusive) to the chains.
    void InsertUpTo(size_t end) {
        end = std::min(end, FBuf.size() < 3 ? 0 : FBuf.size() - 2); // a match needs three bytes
        for (; FInserted < end; ++FInserted) {
            const uint32_t h = Hash(FInserted);
            FPrev[FInserted & FMask] = FHead[h];
            FHead[h] = static_cast<int32_t>(FInserted);
        }
    }

    // The longest match for pos among the positions inserted so far, which must all lie before pos.
    TMatch Find(size_t pos) const {
        TMatch best;
        const size_t maxLength = std::min<size_t>(FParams.MaxMatch, FBuf.size() - pos);
        if (maxLength < FParams.MinMatch) return best;
        const uint8_t* const cur = FBuf.data() + pos;
        const int64_t oldest = static_cast<int64_t>(pos) - FParams.WindowSize;
        int32_t cand = FHead[Hash(pos)];
        for (uint32_t chain = FParams.MaxChain; cand != kNone && cand >= oldest && chain > 0; --chain) {
            const uint8_t* const old = FBuf.data() + cand;
            // The byte that would make this candidate longer than the best decides most rejections.
            if (old[best.Length] == cur[best.Length]) {
                size_t len = 0;
                while (len < maxLength && old[len] == cur[len]) ++len;
                if (len > best.Length) {
                    best = {static_cast<uint32_t>(len),
                            static_cast<uint32_t>(pos - static_cast<size_t>(cand))};
                    if (len >= FParams.NiceLength || len == maxLength) break;
                }
            }
            cand = FPrev[static_cast<size_t>(cand) & FMask];
        }
        return best;
    }

private:
    std::span<const uint8_t> FBuf;
    const TLzParams& FParams;
    std::vector<int32_t> FHead;
    std::vector<int32_t> FPrev;
    size_t FMask;
    size_t FInserted = 0; // positions below this are in the chains

    uint32_t Hash(size_t pos) const {
        const uint32_t v = FBuf[pos] | FBuf[pos + 1] << 8 | FBuf[pos + 2] << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }
};

// Lazy evaluation: a match found at one position is held back while the next position offers a
// longer one, in which case the first byte goes out as a literal.
class TLazyParser {
public:
    TLazyParser(std::span<const uint8_t> buffer, const TLzParams& params)
        : FBuf(buffer), FParams(params), FFinder(buffer, params) {}

    std::vector<TLzToken> Run(size_t start) {
        size_t pos = start;
        TMatch pending; // a match found at pos - 1, held back
        bool hasPending = false;
        while (pos < FBuf.size()) {
            FFinder.InsertUpTo(pos);
            const TMatch cur = Usable(FFinder.Find(pos));
            if (hasPending) {
                hasPending = false;
                if (pending.Length >= cur.Length) {
                    EmitMatch(pending);
                    pos = pos - 1 + pending.Length;
                    continue;
                }
                EmitLiteral(pos - 1);
            }
            if (cur.Length == 0) {
                EmitLiteral(pos++);
            } else if (cur.Length >= FParams.NiceLength || pos + 1 >= FBuf.size()) {
                EmitMatch(cur);
                pos += cur.Length;
            } else {
                pending = cur;
                hasPending = true;
                ++pos;
            }
        }
        return std::move(FTokens);
    }

private:
    std::span<const uint8_t> FBuf;
    const TLzParams& FParams;
    TMatchFinder FFinder;
    std::vector<TLzToken> FTokens;

    TMatch Usable(TMatch m) const { return m.Length >= FParams.MinMatch ? m : TMatch{}; }

    void EmitLiteral(size_t pos) { FTokens.push_back({0, FBuf[pos]}); }

    void EmitMatch(TMatch m) {
        FTokens.push_back({static_cast<uint16_t>(m.Length), static_cast<uint16_t>(m.Distance)});
    }
};

} // namespace

std::vector<TLzToken> ParseLz(std::span<const uint8_t> buffer, size_t start, const TLzParams& params) {
    if (params.WindowSize == 0 || (params.WindowSize & (params.WindowSize - 1)) != 0 ||
        params.WindowSize > 0x8000 || params.MinMatch < 3 || params.MaxMatch < params.MinMatch ||
        params.MaxMatch > 0xFFFF)
        throw std::invalid_argument("LZ parameters out of range");
    return TLazyParser(buffer, params).Run(std::min(start, buffer.size()));
}

} // namespace yar::builder

#include "tools/builder/LzParser.h"

#include <algorithm>
#include <stdexcept>

namespace yar::builder {

namespace {

constexpr unsigned kHashBits = 15;
constexpr int64_t kNone = -1;
// Parsed data is dropped from the buffer only once this much of it has gathered, so that the bytes
// kept are moved seldom.
constexpr int64_t kDropAfter = 256 * 1024;

const TLzParams& Checked(const TLzParams& params) {
    if (params.WindowSize == 0 || (params.WindowSize & (params.WindowSize - 1)) != 0 ||
        params.WindowSize > 0x8000 || params.MinMatch < 3 || params.MaxMatch < params.MinMatch ||
        params.MaxMatch > 0xFFFF)
        throw std::invalid_argument("LZ parameters out of range");
    return params;
}

} // namespace

// Hash chains: Head holds the latest position of each 3-byte hash, Prev (a ring as large as the
// window) the position before it with the same hash. Chains run from new to old.
TLzStreamParser::TLzStreamParser(const TLzParams& params, std::span<const uint8_t> dictionary)
    : FParams(Checked(params)), FBuf(dictionary.begin(), dictionary.end()),
      FPos(static_cast<int64_t>(dictionary.size())), FHead(size_t{1} << kHashBits, kNone),
      FPrev(params.WindowSize, kNone), FMask(params.WindowSize - 1) {}

uint32_t TLzStreamParser::Hash(int64_t pos) const {
    const uint8_t* p = At(pos);
    const uint32_t v = p[0] | p[1] << 8 | p[2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

void TLzStreamParser::InsertUpTo(int64_t end) {
    end = std::min(end, End() - 2); // a match needs three bytes
    for (; FInserted < end; ++FInserted) {
        const uint32_t h = Hash(FInserted);
        FPrev[static_cast<size_t>(FInserted & FMask)] = FHead[h];
        FHead[h] = FInserted;
    }
}

// The longest match for pos among the positions inserted so far, which must all lie before pos.
TLzStreamParser::TMatch TLzStreamParser::Find(int64_t pos) const {
    TMatch best;
    const auto maxLength = static_cast<size_t>(std::min<int64_t>(FParams.MaxMatch, End() - pos));
    if (maxLength < FParams.MinMatch) return best;
    const uint8_t* const cur = At(pos);
    const int64_t oldest = pos - FParams.WindowSize;
    int64_t cand = FHead[Hash(pos)];
    for (uint32_t chain = FParams.MaxChain; cand != kNone && cand >= oldest && chain > 0; --chain) {
        const uint8_t* const old = At(cand);
        // The byte that would make this candidate longer than the best decides most rejections.
        if (old[best.Length] == cur[best.Length]) {
            size_t len = 0;
            while (len < maxLength && old[len] == cur[len]) ++len;
            if (len > best.Length) {
                best = {static_cast<uint32_t>(len), static_cast<uint32_t>(pos - cand)};
                if (len >= FParams.NiceLength || len == maxLength) break;
            }
        }
        cand = FPrev[static_cast<size_t>(cand & FMask)];
    }
    return best.Length >= FParams.MinMatch ? best : TMatch{};
}

// Lazy evaluation: a match found at one position is held back while the next position offers a
// longer one, in which case the first byte goes out as a literal. Before the end only positions with
// MaxMatch bytes after them are parsed, which is all the lookahead a decision there uses.
void TLzStreamParser::Parse(bool final, std::vector<TLzToken>& tokens) {
    const auto literal = [&](int64_t pos) { tokens.push_back({0, *At(pos)}); };
    const auto match = [&](TMatch m) {
        tokens.push_back({static_cast<uint16_t>(m.Length), static_cast<uint16_t>(m.Distance)});
    };
    const int64_t end = End();
    while (FPos < end && (final || FPos + FParams.MaxMatch < end)) {
        InsertUpTo(FPos);
        const TMatch cur = Find(FPos);
        if (FHasPending) {
            FHasPending = false;
            if (FPending.Length >= cur.Length) {
                match(FPending);
                FPos += FPending.Length - 1;
                continue;
            }
            literal(FPos - 1);
        }
        if (cur.Length == 0) {
            literal(FPos++);
        } else if (cur.Length >= FParams.NiceLength || FPos + 1 >= end) {
            match(cur);
            FPos += cur.Length;
        } else {
            FPending = cur;
            FHasPending = true;
            ++FPos;
        }
    }
}

void TLzStreamParser::DropOld() {
    // Matches reach at most a window back from the positions still to parse or insert.
    const int64_t keep = std::min(FPos - 1 - FParams.WindowSize, FInserted);
    if (keep - FBase < kDropAfter) return;
    FBuf.erase(FBuf.begin(), FBuf.begin() + static_cast<std::ptrdiff_t>(keep - FBase));
    FBase = keep;
}

void TLzStreamParser::Put(std::span<const uint8_t> data, std::vector<TLzToken>& tokens) {
    FBuf.insert(FBuf.end(), data.begin(), data.end());
    Parse(false, tokens);
    DropOld();
}

void TLzStreamParser::Finish(std::vector<TLzToken>& tokens) {
    Parse(true, tokens);
}

std::vector<TLzToken> ParseLz(std::span<const uint8_t> buffer, size_t start, const TLzParams& params) {
    start = std::min(start, buffer.size());
    TLzStreamParser parser(params, buffer.first(start));
    std::vector<TLzToken> tokens;
    parser.Put(buffer.subspan(start), tokens);
    parser.Finish(tokens);
    return tokens;
}

} // namespace yar::builder

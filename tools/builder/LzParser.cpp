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
// Tokens carry distances in 16 bits.
constexpr int64_t kMaxDistance = 0xFFFF;

const TLzParams& Checked(const TLzParams& params) {
    if (params.WindowSize == 0 || (params.WindowSize & (params.WindowSize - 1)) != 0 ||
        params.WindowSize > 0x10000 || params.MinMatch < 3 || params.MaxMatch < params.MinMatch ||
        params.MaxMatch > 0xFFFF)
        throw std::invalid_argument("LZ parameters out of range");
    return params;
}

} // namespace

TLzWindow::TLzWindow(const TLzParams& params, std::span<const uint8_t> dictionary)
    : FParams(Checked(params)), FBuf(dictionary.begin(), dictionary.end()),
      FHead(size_t{1} << kHashBits, kNone), FPrev(params.WindowSize, kNone), FMask(params.WindowSize - 1),
      FReach(std::min<int64_t>(params.WindowSize, kMaxDistance)) {}

uint32_t TLzWindow::Hash(int64_t pos) const {
    const uint8_t* p = At(pos);
    const uint32_t v = p[0] | p[1] << 8 | p[2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

void TLzWindow::InsertUpTo(int64_t end) {
    end = std::min(end, End() - 2); // a match needs three bytes
    for (; FInserted < end; ++FInserted) {
        const uint32_t h = Hash(FInserted);
        FPrev[static_cast<size_t>(FInserted & FMask)] = FHead[h];
        FHead[h] = FInserted;
    }
}

size_t TLzWindow::Matches(int64_t pos, uint32_t maxLength, std::span<TLzMatch> out) const {
    maxLength = static_cast<uint32_t>(std::min<int64_t>({FParams.MaxMatch, maxLength, End() - pos}));
    if (maxLength < FParams.MinMatch || out.empty()) return 0;
    const uint8_t* const cur = At(pos);
    const int64_t oldest = pos - FReach;
    size_t found = 0;
    uint32_t best = FParams.MinMatch - 1;
    int64_t cand = FHead[Hash(pos)];
    for (uint32_t chain = FParams.MaxChain; cand != kNone && cand >= oldest && chain > 0; --chain) {
        const uint8_t* const old = At(cand);
        // The byte that would make this candidate longer than the best decides most rejections.
        if (old[best] == cur[best]) {
            uint32_t len = 0;
            while (len < maxLength && old[len] == cur[len]) ++len;
            if (len > best) {
                best = len;
                found = std::min(found, out.size() - 1); // the longest takes the last slot
                out[found++] = {len, static_cast<uint32_t>(pos - cand)};
                if (len >= FParams.NiceLength || len == maxLength) break;
            }
        }
        cand = FPrev[static_cast<size_t>(cand & FMask)];
    }
    return found;
}

TLzMatch TLzWindow::Longest(int64_t pos) const {
    TLzMatch match[1];
    return Matches(pos, FParams.MaxMatch, match) != 0 ? match[0] : TLzMatch{};
}

void TLzWindow::Release(int64_t keep) {
    keep = std::min(keep, FInserted);
    if (keep - FBase < kDropAfter) return;
    FBuf.erase(FBuf.begin(), FBuf.begin() + static_cast<std::ptrdiff_t>(keep - FBase));
    FBase = keep;
}

TLzStreamParser::TLzStreamParser(const TLzParams& params, std::span<const uint8_t> dictionary)
    : FWindow(params, dictionary), FPos(static_cast<int64_t>(dictionary.size())) {}

// Lazy evaluation: a match found at one position is held back while the next position offers a
// longer one, in which case the first byte goes out as a literal. Before the end only positions with
// MaxMatch bytes after them are parsed, which is all the lookahead a decision there uses.
void TLzStreamParser::Parse(bool final, std::vector<TLzToken>& tokens) {
    const TLzParams& params = FWindow.Params();
    const auto literal = [&](int64_t pos) { tokens.push_back({0, *FWindow.At(pos)}); };
    const auto match = [&](TLzMatch m) {
        tokens.push_back({static_cast<uint16_t>(m.Length), static_cast<uint16_t>(m.Distance)});
    };
    const int64_t end = FWindow.End();
    while (FPos < end && (final || FPos + params.MaxMatch < end)) {
        FWindow.InsertUpTo(FPos);
        const TLzMatch cur = FWindow.Longest(FPos);
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
        } else if (cur.Length >= params.NiceLength || FPos + 1 >= end) {
            match(cur);
            FPos += cur.Length;
        } else {
            FPending = cur;
            FHasPending = true;
            ++FPos;
        }
    }
}

void TLzStreamParser::Put(std::span<const uint8_t> data, std::vector<TLzToken>& tokens) {
    FWindow.Append(data);
    Parse(false, tokens);
    // Matches reach at most a window back from the positions still to parse or insert.
    FWindow.Release(FPos - 1 - FWindow.Params().WindowSize);
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

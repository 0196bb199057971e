#include "tests/archive/CodecCorpus.h"

#include "archive/CompThreadSafety.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>

namespace yar::testing {

uint64_t TRandom::Next() {
    uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::vector<uint8_t> RandomBytes(size_t size, uint64_t seed) {
    TRandom rng(seed);
    std::vector<uint8_t> out(size);
    std::generate(out.begin(), out.end(), [&] { return static_cast<uint8_t>(rng.Next()); });
    return out;
}

std::vector<uint8_t> TextLike(size_t size, uint64_t seed) {
    static constexpr std::array<std::string_view, 64> kWords = {
        "the",     "of",      "and",      "to",      "a",         "in",       "is",      "file",
        "setup",   "for",     "that",     "with",    "directory", "program",  "on",      "are",
        "install", "be",      "this",     "windows", "from",      "or",       "archive", "by",
        "it",      "when",    "each",     "entry",   "volume",    "disk",     "user",    "value",
        "section", "key",     "shortcut", "folder",  "registry",  "the",      "copy",    "into",
        "working", "wizard",  "page",     "button",  "message",   "license",  "text",    "after",
        "before",  "network", "system",   "read",    "written",   "bytes",    "length",  "code",
        "window",  "restart", "complete", "cancel",  "path",      "progress", "step",    "uninstall"};
    TRandom rng(seed);
    std::vector<uint8_t> out;
    out.reserve(size + 16);
    size_t lineLength = 0;
    while (out.size() < size) {
        // The product of two uniform picks favours the first words, roughly as in real text.
        constexpr auto kCount = static_cast<uint32_t>(kWords.size());
        const size_t w = size_t{rng.Below(kCount)} * rng.Below(kCount) / kCount;
        const std::string_view word = kWords[w];
        out.insert(out.end(), word.begin(), word.end());
        lineLength += word.size() + 1;
        const uint32_t mark = rng.Below(100);
        if (mark < 6) out.push_back(',');
        if (mark >= 6 && mark < 10) out.push_back('.');
        if (lineLength > 60 + rng.Below(15)) {
            out.push_back('\r');
            out.push_back('\n');
            lineLength = 0;
        } else {
            out.push_back(' ');
        }
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> BinaryLike(size_t size, uint64_t seed) {
    TRandom rng(seed);
    std::vector<uint8_t> out;
    out.reserve(size + 32);
    uint32_t counter = rng.Below(1u << 20);
    while (out.size() < size) {
        counter += 1 + rng.Below(64);
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(counter >> (8 * i)));
        const uint32_t small = rng.Below(300);
        out.push_back(static_cast<uint8_t>(small));
        out.push_back(static_cast<uint8_t>(small >> 8));
        const uint32_t kind = rng.Below(8);
        if (kind == 0) out.insert(out.end(), 4 + rng.Below(28), uint8_t{0});
        if (kind == 1) {
            static constexpr std::array<uint8_t, 6> kTag = {0x8B, 0x45, 0xFC, 0x89, 0x04, 0x24};
            out.insert(out.end(), kTag.begin(), kTag.end());
        }
        if (kind == 2) out.push_back(static_cast<uint8_t>(rng.Next()));
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> Runs(size_t size, uint64_t seed) {
    static constexpr std::array<uint8_t, 6> kCommon = {0x00, 0xFF, 0x94, 0x20, 0x41, 0x0A};
    TRandom rng(seed);
    std::vector<uint8_t> out;
    out.reserve(size + 600);
    while (out.size() < size) {
        const uint8_t b =
            rng.Below(2) == 0 ? kCommon[rng.Below(kCommon.size())] : static_cast<uint8_t>(rng.Next());
        const uint32_t pick = rng.Below(10);
        const uint32_t length = pick < 4   ? 1 + rng.Below(3)
                                : pick < 8 ? 3 + rng.Below(60)
                                           : 200 + rng.Below(400);
        out.insert(out.end(), length, b);
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> MixedCorpus(size_t size, uint64_t seed) {
    using TMaker = std::vector<uint8_t> (*)(size_t, uint64_t);
    static constexpr std::array<TMaker, 4> kMakers = {TextLike, BinaryLike, Runs, RandomBytes};
    TRandom rng(seed);
    std::vector<uint8_t> out;
    out.reserve(size);
    for (size_t piece = 0; out.size() < size; ++piece) {
        const size_t length = std::min<size_t>(size - out.size(), (16 + size_t{rng.Below(81)}) * 1024);
        const auto bytes = kMakers[piece % kMakers.size()](length, rng.Next());
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

TExpanded Expand(TCompressionMethod method, const std::vector<uint8_t>& stored, size_t destSize) {
    TCompThreadSafety state;
    TMemoryStream source(stored);
    TMemoryStream dest;
    TExpanded out;
    ExpandStream(state, dest, source, static_cast<int32_t>(stored.size()), static_cast<int32_t>(destSize),
                 method, out.Checksum, false, 0, nullptr);
    out.Bytes.assign(dest.Bytes().begin(), dest.Bytes().end());
    out.SourceRead = source.Position();
    return out;
}

int32_t ByteSum(const std::vector<uint8_t>& data) {
    return static_cast<int32_t>(std::accumulate(data.begin(), data.end(), uint32_t{0}));
}

} // namespace yar::testing

// coLZH: adaptive Huffman LZSS. The streams here were checked with lhasa, an independent LHA
// decoder, whose -lh1- method is the same code.
#include "CodecTestSupport.h"

#include <gtest/gtest.h>

using namespace yar;
using namespace yar::test;

namespace {

// Pseudo-random stored bytes: any bits are a valid coLZH stream.
std::vector<uint8_t> LcgBytes(size_t n) {
    std::vector<uint8_t> bytes(n);
    uint32_t x = 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 24);
    }
    return bytes;
}

uint64_t Fnv1a(const uint8_t* bytes, size_t n) {
    uint64_t h = 0xcbf29ce484222325u;
    for (size_t i = 0; i < n; ++i) h = (h ^ bytes[i]) * 0x100000001b3u;
    return h;
}

} // namespace

TEST(LzhExpand, DestSizeZeroReadsNothing) {
    const TExpansion e = Expand(coLZH, LcgBytes(100), 0);
    EXPECT_TRUE(e.Out.empty());
    EXPECT_EQ(e.SourcePosition, 0);
}

TEST(LzhExpand, FirstSymbolsUseTheInitialTreeAndAMatchAtTheStartCopiesSpaces) {
    // Symbol 256 (a 3-byte match) has the code 10001100 in the initial tree; position 0 follows.
    EXPECT_EQ(Expand(coLZH, {0x8C, 0x00, 0x00}, 3).Out, std::vector<uint8_t>(3, ' '));
    // 'A' sits one level deeper: 111001101.
    EXPECT_EQ(Expand(coLZH, {0xE6, 0x80}, 1).Out, std::vector<uint8_t>{'A'});
}

TEST(LzhExpand, PositionsOfEveryCodeLengthAndTheirBitCounts) {
    // 'A', match 3 at position 0 (repeats the 'A'), 'B', match 4 at 48*64+5 (first position byte
    // 0xF0: 8 + 6 bits), 'C', match 3 at position 1 (first byte 0x00: 3 + 6 bits), 'D', match 60 at
    // 4095 (the oldest byte of the window), 'E': each symbol lands only if the position before it
    // took exactly its bits.
    const std::vector<uint8_t> stored = {0xE6, 0xC6, 0x00, 0x39, 0xD1, 0xBE, 0x02, 0xF3,
                                         0xF1, 0x00, 0x3D, 0x0E, 0x6F, 0xFF, 0xFD, 0x10};
    const std::string expected = "AAAAB    C C D" + std::string(60, ' ') + "E";
    const TExpansion e = Expand(coLZH, stored, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(std::string(e.Out.begin(), e.Out.end()), expected);
    EXPECT_EQ(e.SourcePosition, 16);
}

TEST(LzhExpand, LongRandomStreamMatchesLhasaThroughTwoTreeRebuilds) {
    // 100000 pseudo-random bytes decode to 49460 symbols: the root count reaches 0x8000 twice.
    // lhasa's first 300000 bytes of output hash to the value below.
    const TExpansion e = Expand(coLZH, LcgBytes(100000), 300000);
    ASSERT_GE(e.Out.size(), 300000u);
    EXPECT_LT(e.Out.size(), 300000u + 60); // the last match is written in full
    EXPECT_EQ(Fnv1a(e.Out.data(), 300000), 0xaf33f54fd431bfa7u);
}

TEST(LzhExpand, InputThatEndsEarlyDecodesAsZeroBitsUpToDestSize) {
    const auto stored = LcgBytes(50);
    const TExpansion cut = Expand(coLZH, stored, 5000);
    ASSERT_GE(cut.Out.size(), 5000u);
    // The same stream with explicit zero bytes after it expands alike.
    auto padded = stored;
    padded.resize(4000, 0);
    const TExpansion zeros = Expand(coLZH, padded, 5000);
    EXPECT_EQ(cut.Out, zeros.Out);
}

// The parts the builder's encoders share: length-limited Huffman codes and the LZ77 parser.
#include "tests/archive/CodecCorpus.h"
#include "tools/builder/HuffmanCode.h"
#include "tools/builder/LzParser.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace yar::builder {
namespace {

using TBytes = std::vector<uint8_t>;

// The share of the code space the lengths take, in units of 2^-16: exactly 65536 for a complete code.
uint64_t KraftSum(const std::vector<uint8_t>& lengths) {
    uint64_t sum = 0;
    for (uint8_t len : lengths) {
        if (len != 0) sum += uint64_t{1} << (16 - len);
    }
    return sum;
}

TEST(HuffmanLengths, AreOptimalForASmallAlphabet) {
    const std::vector<uint32_t> counts = {1, 1, 2, 4, 0};
    EXPECT_EQ(HuffmanLengths(counts, 16), (std::vector<uint8_t>{3, 3, 2, 1, 0}));
}

TEST(HuffmanLengths, StayWithinTheLimitAndFillTheCodeSpace) {
    // Fibonacci counts make an unlimited Huffman code as deep as the alphabet is long.
    std::vector<uint32_t> counts = {1, 1};
    while (counts.size() < 30) counts.push_back(counts[counts.size() - 1] + counts[counts.size() - 2]);
    for (unsigned limit : {16u, 8u, 5u}) {
        const auto lengths = HuffmanLengths(counts, limit);
        EXPECT_EQ(*std::max_element(lengths.begin(), lengths.end()), limit);
        EXPECT_EQ(std::count(lengths.begin(), lengths.end(), 0), 0);
        EXPECT_EQ(KraftSum(lengths), 65536u) << "limit " << limit;
        // More frequent symbols never get longer codes.
        EXPECT_TRUE(std::is_sorted(lengths.rbegin(), lengths.rend())) << "limit " << limit;
    }
    EXPECT_THROW(HuffmanLengths(counts, 4), std::invalid_argument); // 30 symbols need 5 bits
}

TEST(HuffmanLengths, NeedNoCodeForFewerThanTwoSymbols) {
    EXPECT_EQ(HuffmanLengths(std::vector<uint32_t>{0, 7, 0}, 16), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(HuffmanLengths(std::vector<uint32_t>{0, 0}, 16), (std::vector<uint8_t>{0, 0}));
}

TEST(CanonicalCodes, CountUpwardShorterCodesFirstThenBySymbol) {
    EXPECT_EQ(CanonicalCodes(std::vector<uint8_t>{2, 1, 3, 0, 3}),
              (std::vector<uint16_t>{0b10, 0b0, 0b110, 0, 0b111}));
    EXPECT_EQ(CanonicalCodes(std::vector<uint8_t>{1, 2, 2}), (std::vector<uint16_t>{0b0, 0b10, 0b11}));
}

// Replays tokens over the dictionary prefix, checking each against the parameters on the way.
TBytes Replay(const TBytes& prefix, const std::vector<TLzToken>& tokens, const TLzParams& params) {
    TBytes out = prefix;
    for (const TLzToken& t : tokens) {
        if (t.IsLiteral()) {
            out.push_back(static_cast<uint8_t>(t.Value));
            continue;
        }
        EXPECT_GE(t.Length, params.MinMatch);
        EXPECT_LE(t.Length, params.MaxMatch);
        EXPECT_GE(t.Value, 1u);
        EXPECT_LE(t.Value, params.WindowSize);
        if (t.Value > out.size()) {
            ADD_FAILURE() << "match reaches before the buffer";
            return {};
        }
        for (size_t k = 0; k < t.Length; ++k) out.push_back(out[out.size() - t.Value]);
    }
    return TBytes(out.begin() + static_cast<std::ptrdiff_t>(prefix.size()), out.end());
}

TEST(LzParser, TokensRebuildTheDataWithinTheirLimits) {
    TLzParams params;
    params.WindowSize = 4096;
    params.MaxMatch = 60;
    params.NiceLength = 60;
    TBytes data = testing::TextLike(30000, 1);
    const TBytes runs = testing::Runs(20000, 2);
    data.insert(data.end(), runs.begin(), runs.end());
    for (size_t prefixLength : {0u, 100u, 4036u}) {
        TBytes buffer(prefixLength, ' ');
        buffer.insert(buffer.end(), data.begin(), data.end());
        const auto tokens = ParseLz(buffer, prefixLength, params);
        EXPECT_EQ(Replay(TBytes(prefixLength, ' '), tokens, params), data) << "prefix " << prefixLength;
        EXPECT_LT(tokens.size(), data.size() / 3) << "prefix " << prefixLength; // the matches were found
    }
}

TEST(LzParser, FindsMatchesIntoThePrefixOnly) {
    TLzParams params;
    params.WindowSize = 4096;
    params.MaxMatch = 60;
    params.NiceLength = 60;
    const TBytes buffer(200, ' '); // 100 of them prefix
    const auto tokens = ParseLz(buffer, 100, params);
    EXPECT_EQ(Replay(TBytes(100, ' '), tokens, params), TBytes(100, ' '));
    ASSERT_FALSE(tokens.empty());
    EXPECT_FALSE(tokens.front().IsLiteral());                // the first byte already copies the prefix
    EXPECT_EQ(ParseLz(buffer, 0, params).front().Length, 0); // without a prefix it starts with a literal
}

TEST(LzParser, RejectsParametersItCannotServe) {
    TLzParams params;
    params.WindowSize = 5000; // not a power of two
    EXPECT_THROW(ParseLz(TBytes(10, 1), 0, params), std::invalid_argument);
    params.WindowSize = 4096;
    params.MinMatch = 2; // the hash needs three bytes
    EXPECT_THROW(ParseLz(TBytes(10, 1), 0, params), std::invalid_argument);
}

} // namespace
} // namespace yar::builder

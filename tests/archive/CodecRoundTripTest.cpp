// Round trips through the builder's encoders and the expansion engine: every method over data that
// probes its edges must come back byte for byte, with the right checksum, having fetched exactly the
// stored bytes.
#include "archive/CompThreadSafety.h"
#include "archive/ExpandStream.h"
#include "tests/archive/CodecCorpus.h"
#include "tools/builder/Encoders.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <numeric>
#include <string>

namespace yar {
namespace {

using builder::EncodeLZH;
using builder::EncodeLZH5;
using builder::EncodeRLE;
using testing::BinaryLike;
using testing::ByteSum;
using testing::Expand;
using testing::MixedCorpus;
using testing::RandomBytes;
using testing::Runs;
using testing::TExpanded;
using testing::TextLike;

using TBytes = std::vector<uint8_t>;
using TEncoder = std::function<TBytes(std::span<const uint8_t>)>;

struct TMethod {
    const char* Name;
    TCompressionMethod Method;
    TEncoder Encode;
    std::function<std::unique_ptr<builder::TStreamEncoder>()> MakeEncoder;
};

// Names the method in test listings instead of dumping its bytes.
void PrintTo(const TMethod& m, std::ostream* os) {
    *os << m.Name;
}

builder::TLH5Options Lazy() {
    builder::TLH5Options options;
    options.OptimalParsing = false;
    return options;
}

builder::TLH5Options Lh7() {
    builder::TLH5Options options;
    options.WindowBits = 16;
    return options;
}

const TMethod kMethods[] = {
    {"RLE", coRLE, [](std::span<const uint8_t> d) { return EncodeRLE(d); },
     [] { return builder::MakeRLEEncoder(); }},
    {"LZH", coLZH, [](std::span<const uint8_t> d) { return EncodeLZH(d); },
     [] { return builder::MakeLZHEncoder(); }},
    {"LZH5", coLZH5, [](std::span<const uint8_t> d) { return EncodeLZH5(d); },
     [] { return builder::MakeLZH5Encoder(); }},
    {"LZH5Lazy", coLZH5, [](std::span<const uint8_t> d) { return EncodeLZH5(d, Lazy()); },
     [] { return builder::MakeLZH5Encoder(Lazy()); }},
    {"LZH7", coLZH7, [](std::span<const uint8_t> d) { return EncodeLZH5(d, Lh7()); },
     [] { return builder::MakeLZH5Encoder(Lh7()); }},
};

// Encodes and expands data; reports the first difference rather than megabytes of bytes.
void ExpectRoundTrip(const TMethod& m, const TBytes& data, const std::string& what) {
    SCOPED_TRACE(std::string(m.Name) + ": " + what + " (" + std::to_string(data.size()) + " bytes)");
    const TBytes stored = m.Encode(data);
    const TExpanded got = Expand(m.Method, stored, data.size());
    ASSERT_EQ(got.Bytes.size(), data.size());
    const auto diff = std::mismatch(data.begin(), data.end(), got.Bytes.begin());
    EXPECT_TRUE(diff.first == data.end()) << "first difference at byte " << (diff.first - data.begin());
    EXPECT_EQ(got.Checksum, ByteSum(data));
    EXPECT_EQ(got.SourceRead, static_cast<int64_t>(stored.size())) << "stored bytes left unread";
}

TBytes Repeat(size_t count, uint8_t b) {
    return TBytes(count, b);
}

TBytes Concat(std::initializer_list<TBytes> parts) {
    TBytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TBytes AllByteValues(int rounds) {
    TBytes out;
    for (int r = 0; r < rounds; ++r) {
        for (int b = 0; b < 256; ++b) out.push_back(static_cast<uint8_t>(r % 2 == 0 ? b : 255 - b));
    }
    return out;
}

class RoundTrip : public ::testing::TestWithParam<TMethod> {};

TEST_P(RoundTrip, TinyAndDegenerateInputs) {
    const TMethod& m = GetParam();
    ExpectRoundTrip(m, {}, "empty");
    ExpectRoundTrip(m, {0x41}, "one byte");
    ExpectRoundTrip(m, {0x94}, "the escape byte alone");
    ExpectRoundTrip(m, {0x00, 0x00}, "two zeros");
    ExpectRoundTrip(m, {0x20, 0x20, 0x20, 0x20}, "spaces, as in the initial window");
    ExpectRoundTrip(m, AllByteValues(1), "all 256 byte values once");
    ExpectRoundTrip(m, AllByteValues(9), "all 256 byte values, up and down");
}

TEST_P(RoundTrip, LongRuns) {
    const TMethod& m = GetParam();
    ExpectRoundTrip(m, Repeat(100000, 0x00), "zeros");
    ExpectRoundTrip(m, Repeat(70000, 0x94), "escape bytes");
    ExpectRoundTrip(m,
                    Concat({Repeat(255, 'A'), Repeat(256, 'B'), Repeat(257, 'C'), Repeat(510, 'D'), {'E'}}),
                    "runs at the one-byte count limit");
    ExpectRoundTrip(
        m, Concat({{0x94}, Repeat(3, 0x41), {0x94, 0x94}, Repeat(300, 0x94), Repeat(3, 0x41), {0x94}}),
        "escape bytes around runs");
    ExpectRoundTrip(m, Runs(300000, 7), "mixed runs");
}

TEST_P(RoundTrip, TextBinaryAndRandom) {
    const TMethod& m = GetParam();
    ExpectRoundTrip(m, TextLike(200000, 1), "text");
    ExpectRoundTrip(m, BinaryLike(200000, 2), "binary-like");
    ExpectRoundTrip(m, RandomBytes(65536, 3), "random");
}

// Sizes around the window sizes (4 KiB for LZH, 8 KiB for LZH5) and the 8 KiB buffers of the byte layer.
TEST_P(RoundTrip, SizesAroundWindowAndBufferBoundaries) {
    const TMethod& m = GetParam();
    for (size_t size : {4035u, 4036u, 4095u, 4096u, 4097u, 8191u, 8192u, 8193u, 16383u, 16384u, 16385u}) {
        ExpectRoundTrip(m, TextLike(size, size), "text");
        ExpectRoundTrip(m, RandomBytes(size, size), "random");
    }
}

// A random block repeated at exactly the window's distance and a little farther.
TEST_P(RoundTrip, RepeatsAtTheWindowDistance) {
    const TMethod& m = GetParam();
    for (size_t span : {4095u, 4096u, 4097u, 8191u, 8192u, 8193u}) {
        const TBytes block = RandomBytes(span, span);
        ExpectRoundTrip(m, Concat({block, block, block}), "block repeated after " + std::to_string(span));
    }
}

TEST_P(RoundTrip, SeveralMegabytes) {
    ExpectRoundTrip(GetParam(), MixedCorpus(3 << 20, 11), "mixed corpus");
}

// Data given piece by piece, in pieces from one byte to more than the encoders hold back, is stored
// exactly as in one piece: runs, matches and blocks carry over the seams. What the stored bytes stand
// for never runs ahead of the data and covers all of it at the end.
TEST_P(RoundTrip, PiecesOfAnySizeGiveTheSameStoredBytes) {
    const TMethod& m = GetParam();
    const TBytes data = Concat({MixedCorpus(1 << 20, 5), Repeat(70000, 0x94), TextLike(600000, 6)});
    const auto encoder = m.MakeEncoder();
    TBytes stored;
    size_t fed = 0;
    const size_t pieces[] = {1, 2, 255, 257, 4096, 1, 65536, 100000, 3, 300000};
    for (size_t i = 0; fed < data.size(); ++i) {
        const size_t n = std::min(pieces[i % std::size(pieces)], data.size() - fed);
        encoder->Put(std::span(data).subspan(fed, n), stored);
        fed += n;
        ASSERT_LE(encoder->BytesCoded(), fed);
    }
    encoder->Finish(stored);
    EXPECT_EQ(encoder->BytesCoded(), data.size());
    EXPECT_TRUE(stored == m.Encode(data)) << m.Name << ": the pieces changed the stored bytes";
    ExpectRoundTrip(m, data, "the same data in one piece");
}

INSTANTIATE_TEST_SUITE_P(Methods, RoundTrip, ::testing::ValuesIn(kMethods),
                         [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// ---- method-specific properties ----

TEST(RoundTripLZH5, BlocksOfEverySizeIncludingSingleSymbolCodes) {
    const TBytes text = TextLike(50000, 5);
    const TBytes data = Concat({text, Repeat(3000, 'x'), AllByteValues(2), text});
    for (uint32_t blockSymbols : {1u, 2u, 3u, 100u, 4096u, 65535u}) {
        builder::TLH5Options options;
        options.BlockSymbols = blockSymbols;
        const TMethod m{
            "LZH5", coLZH5, [&](std::span<const uint8_t> d) { return EncodeLZH5(d, options); }, {}};
        ExpectRoundTrip(m, data, "blocks of " + std::to_string(blockSymbols) + " symbols");
    }
}

TEST(RoundTripLZH5, RejectsOptionsTheFormatCannotCarry) {
    builder::TLH5Options options;
    options.BlockSymbols = 65536; // the 16-bit field would read 0
    EXPECT_THROW(EncodeLZH5(TBytes{1, 2, 3}, options), std::invalid_argument);
    options.BlockSymbols = 0;
    EXPECT_THROW(EncodeLZH5(TBytes{1, 2, 3}, options), std::invalid_argument);
    options.BlockSymbols = 65535;
    options.WindowBits = 14; // no method of the family has a 16 KiB window
    EXPECT_THROW(EncodeLZH5(TBytes{1, 2, 3}, options), std::invalid_argument);
}

// The optimal parse costs fewer bits than the lazy one wherever there is a choice, and the larger
// window finds the repeats a smaller one cannot reach.
TEST(RoundTripCompression, OptimalParsingAndTheLargerWindowStoreLess) {
    for (const TBytes& data : {TextLike(200000, 23), MixedCorpus(300000, 24), BinaryLike(200000, 25)}) {
        const size_t optimal = EncodeLZH5(data).size();
        EXPECT_LT(optimal, EncodeLZH5(data, Lazy()).size());
        const TBytes part(data.begin(), data.begin() + 30000);
        const TBytes twice = Concat({part, part}); // the repeat 30000 bytes back
        EXPECT_LT(EncodeLZH5(twice, Lh7()).size(), EncodeLZH5(twice).size() * 6 / 10);
    }
}

// Repeats must be found as matches even at the window's full distance: a second copy of random data
// costs a small fraction of the first.
TEST(RoundTripCompression, MatchesReachAcrossTheWholeWindow) {
    const TBytes lh5Block = RandomBytes(8192, 21);
    EXPECT_LT(EncodeLZH5(Concat({lh5Block, lh5Block})).size(), EncodeLZH5(lh5Block).size() + 8192u / 20);
    const TBytes lh7Block = RandomBytes(65535, 26); // tokens carry distances up to 65535
    EXPECT_LT(EncodeLZH5(Concat({lh7Block, lh7Block}), Lh7()).size(),
              EncodeLZH5(lh7Block, Lh7()).size() + 65535u / 20);
    const TBytes lzhBlock = RandomBytes(4096, 22);
    EXPECT_LT(EncodeLZH(Concat({lzhBlock, lzhBlock})).size(), EncodeLZH(lzhBlock).size() + 4096u / 10);
}

TEST(RoundTripCompression, LZHCopiesTheSpacesTheWindowStartsWith) {
    // 60 spaces are one match into the initial window: a symbol and a position, a few bytes in all.
    EXPECT_LE(EncodeLZH(Repeat(60, ' ')).size(), 4u);
    EXPECT_GT(EncodeLZH(Repeat(60, '!')).size(), EncodeLZH(Repeat(60, ' ')).size());
}

TEST(RoundTripRLE, WritesTheDocumentedSequences) {
    EXPECT_EQ(EncodeRLE(Repeat(5, 0x41)), (TBytes{0x41, 0x94, 0x05}));
    EXPECT_EQ(EncodeRLE(TBytes{0x41, 0x41, 0x94}), (TBytes{0x41, 0x41, 0x94, 0x00}));
    // After an escape sequence the decoder repeats 0x94, so a long run restarts with its byte.
    EXPECT_EQ(EncodeRLE(Repeat(300, 0x41)), (TBytes{0x41, 0x94, 0xFF, 0x41, 0x94, 0x2D}));
    EXPECT_EQ(EncodeRLE(Repeat(5, 0x94)), (TBytes{0x94, 0x00, 0x94, 0x05}));
}

} // namespace
} // namespace yar

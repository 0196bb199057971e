// coLZH5 on hand-built blocks: code tables, block sizes, matches, input handling and stored data
// that must be refused.
#include "CodecTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace yar;
using namespace yar::test;
using lh5::TBlock;
using lh5::TBlockWriter;

namespace {

// Writes symbols of one block and keeps the bytes they must expand to.
class TScript {
public:
    TScript(TBitWriter& w, const TBlock& block) : FBlock(w, block) {}
    void Literal(uint8_t b) {
        FBlock.Literal(b);
        Expected.push_back(b);
    }
    void Match(uint32_t length, uint32_t distance) {
        FBlock.Match(length, distance);
        for (uint32_t k = 0; k < length; ++k) {
            const auto from = static_cast<int64_t>(Expected.size()) - distance - 1;
            Expected.push_back(from >= 0 ? Expected[static_cast<size_t>(from)]
                                         : ' '); // the window starts as spaces
        }
    }
    std::vector<uint8_t> Expected;

private:
    TBlockWriter FBlock;
};

std::vector<uint8_t> ExpandLH5Bytes(const TBitWriter& w, int32_t destSize) {
    return Expand(coLZH5, w.Bytes(), destSize).Out;
}

void ExpectBadTable(const TBitWriter& w, int32_t destSize = 100) {
    try {
        Expand(coLZH5, w.Bytes(), destSize);
        ADD_FAILURE() << "accepted";
    } catch (const ELZHBadDecodeTable& e) {
        EXPECT_STREQ(e.what(), "Bad decode table in archive!");
    }
}

// Literals 'a' and 'b' and the 3-byte match, then the given position code lengths.
void PutBlockWithPositionLengths(TBitWriter& w, const std::vector<uint8_t>& positionLengths) {
    w.Put(10, 16);
    lh5::PutAuxLengths(w, lh5::PreCodeLengths(), 5, 3);
    lh5::PutLiteralLengths(w, lh5::LiteralLengthsWith({{'a', 2}, {'b', 2}, {256, 1}}));
    lh5::PutAuxLengths(w, positionLengths, 4, -1);
}

const std::vector<uint8_t> kTwoLiterals = lh5::LiteralLengthsWith({{'A', 1}, {'B', 1}});

} // namespace

// ---- code tables ----

TEST(Lh5Tables, LengthsOneTwoTwoMakeACompleteCode) {
    TBitWriter w;
    TScript s(w, lh5::CodedBlock(4, lh5::LiteralLengthsWith({{'a', 2}, {'b', 2}, {256, 1}}), {1, 2, 2}));
    s.Literal('a');
    s.Literal('b');
    s.Match(3, 1); // position symbol 1: distance 1
    s.Match(3, 2); // position symbol 2 and one more bit: distance 2
    EXPECT_EQ(ExpandLH5Bytes(w, 8), s.Expected);
    EXPECT_EQ(std::string(s.Expected.begin(), s.Expected.end()), "ababaaba");
}

TEST(Lh5Tables, IncompleteCodesAreRefused) {
    for (const std::vector<uint8_t>& lengths : std::vector<std::vector<uint8_t>>{{1, 2}, {1}, {2, 2, 2}}) {
        TBitWriter w;
        PutBlockWithPositionLengths(w, lengths);
        ExpectBadTable(w);
    }
}

TEST(Lh5Tables, OversubscribedCodesAreRefusedEvenWhenTheirSumWrapsTo16Bits) {
    TBitWriter w; // four literal codes of length 1 weigh 131072, which is 0 in 16 bits
    TBlockWriter(w, lh5::CodedBlock(1, lh5::LiteralLengthsWith({{1, 1}, {2, 1}, {3, 1}, {4, 1}})));
    ExpectBadTable(w);

    TBitWriter twice; // two codes of length 1 and 256 of length 8: twice the code space
    std::vector<uint8_t> lengths(510, 0);
    std::fill(lengths.begin(), lengths.begin() + 2, 1);
    std::fill(lengths.begin() + 2, lengths.begin() + 258, 8);
    TBlockWriter(twice, lh5::CodedBlock(1, lengths));
    ExpectBadTable(twice);
}

TEST(Lh5Tables, ACodeWithNoLengthsIsRefused) {
    TBitWriter w; // three position lengths, all zero: no code at all
    PutBlockWithPositionLengths(w, {0, 0, 0});
    ExpectBadTable(w);
}

TEST(Lh5Tables, LengthsAbove16AreRefused) {
    TBitWriter w; // a position code length of 17 (the field can reach 20)
    PutBlockWithPositionLengths(w, {17, 1});
    ExpectBadTable(w);
    TBitWriter pre;
    pre.Put(1, 16);
    auto preLengths = lh5::PreCodeLengths();
    preLengths[0] = 20;
    lh5::PutAuxLengths(pre, preLengths, 5, 3);
    ExpectBadTable(pre);
}

TEST(Lh5Tables, LengthsAnnouncedBeyondTheSymbolCountTakeNoPart) {
    // The pre-code count field says 22: three more lengths than the 19 symbols, one of them 20.
    TBitWriter w;
    w.Put(3, 16);
    auto preLengths = lh5::PreCodeLengths();
    preLengths.insert(preLengths.end(), {20, 0, 5});
    lh5::PutAuxLengths(w, preLengths, 5, 3);
    lh5::PutLiteralLengths(w, kTwoLiterals);
    lh5::PutConstant(w, 0, 4);
    w.Put(0b100, 3);
    EXPECT_EQ(ExpandLH5Bytes(w, 3), (std::vector<uint8_t>{'B', 'A', 'A'}));
}

TEST(Lh5Tables, ConstantSymbolsMustBeSymbolsOfTheirCode) {
    const auto block = [](uint32_t preCode, uint32_t literal, uint32_t position) {
        TBitWriter w;
        w.Put(1, 16);
        lh5::PutConstant(w, preCode, 5);
        lh5::PutConstant(w, literal, 9);
        lh5::PutConstant(w, position, 4);
        return w;
    };
    EXPECT_EQ(ExpandLH5Bytes(block(18, 'x', 13), 1), std::vector<uint8_t>{'x'});
    ExpectBadTable(block(19, 'x', 0), 1);
    ExpectBadTable(block(31, 'x', 0), 1);
    ExpectBadTable(block(0, 510, 0), 1);
    ExpectBadTable(block(0, 511, 0), 1);
    ExpectBadTable(block(0, 'x', 14), 1);
    ExpectBadTable(block(0, 'x', 15), 1);
    // A constant match symbol with a constant position: 256 copies of the window's first space.
    EXPECT_EQ(ExpandLH5Bytes(block(0, 509, 13), 256), std::vector<uint8_t>(256, ' '));
}

TEST(Lh5Tables, LiteralLengthsMustStayWithinThe510Symbols) {
    const auto withLiteralSection = [](auto put) {
        TBitWriter w;
        w.Put(1, 16);
        lh5::PutAuxLengths(w, lh5::PreCodeLengths(), 5, 3);
        put(w);
        lh5::PutConstant(w, 0, 4);
        return w;
    };
    // A zero run that ends exactly at 510 is fine: lengths 1, 1, then 508 zeros.
    TBitWriter fits = withLiteralSection([](TBitWriter& w) {
        w.Put(510, 9);
        lh5::PutPreCodeSymbol(w, 3);
        lh5::PutPreCodeSymbol(w, 3);
        lh5::PutPreCodeSymbol(w, 2);
        w.Put(508 - 20, 9);
    });
    fits.Put(1, 1);
    EXPECT_EQ(ExpandLH5Bytes(fits, 1), std::vector<uint8_t>{1});
    // One zero more runs past the end.
    ExpectBadTable(withLiteralSection([](TBitWriter& w) {
        w.Put(510, 9);
        lh5::PutPreCodeSymbol(w, 3);
        lh5::PutPreCodeSymbol(w, 3);
        lh5::PutPreCodeSymbol(w, 2);
        w.Put(509 - 20, 9);
    }));
    // The longest run, 531 zeros, from the start.
    ExpectBadTable(withLiteralSection([](TBitWriter& w) {
        w.Put(2, 9);
        lh5::PutPreCodeSymbol(w, 2);
        w.Put(511, 9);
    }));
    // A count of 511 literal lengths.
    ExpectBadTable(withLiteralSection([](TBitWriter& w) {
        w.Put(511, 9);
        for (int i = 0; i < 511; ++i) lh5::PutPreCodeSymbol(w, 11);
    }));
}

TEST(Lh5Tables, CodesLongerThanTheTablesWalkTheirTrees) {
    // Literal lengths 1..15 and two of 16; position lengths 1..12 and two of 13: every code length
    // that lies beyond the 12-bit and 8-bit tables.
    std::vector<uint8_t> literal(510, 0);
    for (int i = 0; i < 15; ++i) literal[static_cast<size_t>('a' + i)] = static_cast<uint8_t>(i + 1);
    literal['p'] = literal[509] = 16;
    std::vector<uint8_t> position(14, 0);
    for (int i = 0; i < 12; ++i) position[static_cast<size_t>(i)] = static_cast<uint8_t>(i + 1);
    position[12] = position[13] = 13;

    TBitWriter w;
    TScript s(w, lh5::CodedBlock(0, literal, position));
    for (int round = 0; round < 40; ++round) {
        for (char c = 'a'; c <= 'p'; ++c) s.Literal(static_cast<uint8_t>(c));
    }
    for (uint32_t distance :
         {0u, 1u, 2u, 3u, 6u, 13u, 30u, 63u, 100u, 255u, 300u, 600u, 1000u, 2047u, 4095u, 6000u, 8191u}) {
        s.Match(256, distance);
    }
    EXPECT_EQ(ExpandLH5Bytes(w, static_cast<int32_t>(s.Expected.size())), s.Expected);
}

TEST(Lh5Tables, MatchesTakeTheirLengthAndPositionCodesTogetherWhereverTheyFitTheTable) {
    // Length codes of 2..15 bits against position codes of 1..13 bits: together below, at and
    // beyond the 12-bit table, each with its extra bits, over several blocks of stored bytes.
    std::vector<uint8_t> literal(510, 0);
    for (int k = 0; k < 14; ++k) literal[static_cast<size_t>(256 + k)] = static_cast<uint8_t>(k + 2);
    for (int b = 0; b < 64; ++b) literal[static_cast<size_t>(b)] = 7;
    literal[64] = literal[509] = 16;
    std::vector<uint8_t> position(14, 0);
    for (int i = 0; i < 12; ++i) position[static_cast<size_t>(i)] = static_cast<uint8_t>(i + 1);
    position[12] = position[13] = 13;

    std::mt19937 random(5);
    TBitWriter w;
    TScript s(w, lh5::CodedBlock(0, literal, position));
    for (int round = 0; round < 40; ++round) {
        for (uint32_t length = 3; length < 17; ++length) {
            for (uint32_t p = 0; p < 14; ++p) {
                s.Literal(static_cast<uint8_t>(random() % 64));
                const uint32_t extra = p == 0 ? 0 : static_cast<uint32_t>(random()) % (1u << (p - 1));
                s.Match(length, p == 0 ? 0 : (1u << (p - 1)) + extra);
            }
        }
    }
    ASSERT_GT(w.Bytes().size(), 3u * 8192);
    EXPECT_EQ(ExpandLH5Bytes(w, static_cast<int32_t>(s.Expected.size())), s.Expected);
}

// ---- blocks ----

TEST(Lh5Blocks, AHeaderOfZeroSymbolsServes65536AndConstantCodesTakeNoBits) {
    TBitWriter w;
    TBlockWriter(w, lh5::ConstantBlock(0, 'A'));
    TBlockWriter(w, lh5::ConstantBlock(1, 'B'));
    EXPECT_LT(w.Bytes().size(), 30u); // two headers and nothing else
    std::vector<uint8_t> expected(65536, 'A');
    expected.push_back('B');
    EXPECT_EQ(ExpandLH5Bytes(w, 65537), expected);
}

TEST(Lh5Blocks, TwoLiteralsTakenTogetherStopAtTheEndOfTheBlockAndAtDestSize) {
    // Counts of 1-bit literals that leave every remainder by two and by eight literals, long enough
    // for the decoder to take them two and several entries at a time; the next block codes other
    // letters.
    for (const int first : {1025, 1026, 1027, 1029, 1030, 1031}) {
        TBitWriter w;
        std::vector<uint8_t> expected;
        {
            TScript s(w, lh5::CodedBlock(static_cast<uint32_t>(first), kTwoLiterals));
            for (int i = 0; i < first; ++i) s.Literal(i % 3 == 0 ? 'A' : 'B');
            expected = s.Expected;
        }
        TScript second(w, lh5::CodedBlock(1500, lh5::LiteralLengthsWith({{'C', 1}, {'D', 1}})));
        for (int i = 0; i < 1500; ++i) second.Literal(i % 5 == 0 ? 'C' : 'D');
        expected.insert(expected.end(), second.Expected.begin(), second.Expected.end());
        for (const int32_t destSize : {first + 1500, first + 1499, first + 1, first, 7}) {
            EXPECT_EQ(ExpandLH5Bytes(w, destSize),
                      std::vector<uint8_t>(expected.begin(), expected.begin() + destSize))
                << first << " " << destSize;
        }
    }
}

TEST(Lh5Blocks, DestSizeZeroOrLessReadsAndWritesNothing) {
    TBitWriter w;
    TBlockWriter(w, lh5::ConstantBlock(1, 'A'));
    for (int32_t size : {0, -5}) {
        const TExpansion e = Expand(coLZH5, w.Bytes(), size);
        EXPECT_TRUE(e.Out.empty());
        EXPECT_EQ(e.SourcePosition, 0);
        EXPECT_EQ(e.Checksum, 0);
    }
}

// ---- matches ----

TEST(Lh5Matches, DistanceZeroRepeatsTheLastByteAndTheWindowStartsAsSpaces) {
    TBitWriter w;
    TScript s(w, lh5::CodedBlock(3, lh5::LiteralLengthsWith({{'Q', 2}, {256 + 2, 2}, {509, 1}}),
                                 {1, 0, 0, 0, 0, 0, 0, 1}));
    s.Match(5, 100); // before anything was written: spaces
    s.Literal('Q');
    s.Match(256, 0);
    EXPECT_EQ(std::string(s.Expected.begin(), s.Expected.end()), "     " + std::string(257, 'Q'));
    EXPECT_EQ(ExpandLH5Bytes(w, 262), s.Expected);
}

TEST(Lh5Matches, TheLastMatchIsWrittenInFullPastDestSize) {
    TBitWriter w;
    TScript s(w, lh5::CodedBlock(2, lh5::LiteralLengthsWith({{'Z', 1}, {256 + 7, 1}})));
    s.Literal('Z');
    s.Match(10, 0);
    EXPECT_EQ(ExpandLH5Bytes(w, 5), std::vector<uint8_t>(11, 'Z'));
}

namespace {

// Pseudo-random literals and matches of every length and of distances up to 8191 (lh5) or 65535
// (lh7) in one block, checked against the plain definition of a match.
void ExpectRandomMatches(int symbols, uint32_t seed, TCompressionMethod method = coLZH5) {
    std::vector<uint8_t> literal(510, 9);
    literal[0] = literal[1] = 8; // 2/256 + 508/512: complete
    const bool lh7 = method == coLZH7;
    std::vector<uint8_t> position(lh7 ? 17 : 14, 4);
    position[0] = position[1] = 3;                                           // lh5: 2/8 + 12/16: complete
    if (lh7) position = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5}; // 15/16 + 2/32
    std::mt19937 random(seed);
    TBitWriter w;
    auto block = lh5::CodedBlock(static_cast<uint32_t>(symbols), literal, position);
    block.PositionFieldBits = lh7 ? 5 : 4;
    TScript s(w, block);
    for (int i = 0; i < symbols; ++i) {
        if (static_cast<uint32_t>(random()) % 3 != 0) {
            s.Literal(static_cast<uint8_t>(random()));
        } else {
            const uint32_t bits = static_cast<uint32_t>(random()) % static_cast<uint32_t>(position.size());
            const uint32_t distance =
                bits == 0 ? 0 : (1u << (bits - 1)) + static_cast<uint32_t>(random()) % (1u << (bits - 1));
            s.Match(3 + static_cast<uint32_t>(random()) % 254, distance);
        }
    }
    EXPECT_EQ(Expand(method, w.Bytes(), static_cast<int32_t>(s.Expected.size())).Out, s.Expected);
}

} // namespace

TEST(Lh5Matches, MatchesReachAcrossTheEndOfTheWindowAndBackToItsStart) {
    // Over more than three windows.
    ExpectRandomMatches(12000, 7);
}

TEST(Lh5Matches, MatchesStayRightOverOutputMuchLongerThanTheWindow) {
    // About 1.8 MB: every distance keeps reaching the bytes it names however far the output runs.
    ExpectRandomMatches(65000, 11);
}

// lh7 is the same decoder over a 64 KiB window: 17 position symbols, their count in five bits.
TEST(Lh7Matches, DistancesUpTo65535ReachTheirBytesOverManyWindows) {
    ExpectRandomMatches(65000, 13, coLZH7);
}

TEST(Lh7Tables, PositionSymbolsBeyondTheSeventeenAreRefused) {
    const auto block = [](uint32_t position) {
        TBitWriter w;
        w.Put(1, 16);
        lh5::PutConstant(w, 0, 5);
        lh5::PutConstant(w, 256 + 5, 9); // one match of length 8
        lh5::PutConstant(w, position, 5);
        return w;
    };
    // A constant position 16 with its 15 extra bits: the farthest distance, into the spaces.
    TBitWriter far = block(16);
    far.Put(0x7FFF, 15);
    EXPECT_EQ(Expand(coLZH7, far.Bytes(), 8).Out, std::vector<uint8_t>(8, ' '));
    for (const uint32_t position : {17u, 31u}) {
        try {
            Expand(coLZH7, block(position).Bytes(), 8);
            ADD_FAILURE() << "accepted position symbol " << position;
        } catch (const ELZHBadDecodeTable& e) {
            EXPECT_STREQ(e.what(), "Bad decode table in archive!");
        }
    }
}

// ---- output ----

TEST(Lh5Output, FullBlocksGoToDestAsTheNextByteComesEvenWhenTheNextBlockIsBroken) {
    for (const int32_t size : {3 * 8192 + 5, 2 * 8192, 8191}) {
        TBitWriter w;
        TBlockWriter block(w, lh5::CodedBlock(0, kTwoLiterals));
        for (int i = 0; i < size; ++i) block.Literal(i % 7 == 0 ? 'A' : 'B');
        TCompThreadSafety state;
        TMemoryStream source(w.Bytes());
        TRecordingStream dest;
        int32_t checksum = 0;
        ExpandStream(state, dest, source, static_cast<int32_t>(w.Bytes().size()), size, coLZH5, checksum,
                     false, 0, nullptr);
        std::vector<int32_t> writes(static_cast<size_t>((size - 1) / 8192), 8192);
        writes.push_back(size - 8192 * static_cast<int32_t>(writes.size()));
        EXPECT_EQ(dest.Writes, writes) << size;
        EXPECT_EQ(dest.Size(), size);
    }
    // 8192 bytes, then a block whose table is refused: the full block was still waiting for its
    // next byte, so nothing has gone out.
    TBitWriter w;
    {
        TBlockWriter block(w, lh5::CodedBlock(8192, kTwoLiterals));
        for (int i = 0; i < 8192; ++i) block.Literal('A');
    }
    PutBlockWithPositionLengths(w, {1, 1, 1});
    TCompThreadSafety state;
    TMemoryStream source(w.Bytes());
    TRecordingStream dest;
    int32_t checksum = 0;
    EXPECT_THROW(ExpandStream(state, dest, source, static_cast<int32_t>(w.Bytes().size()), 9000, coLZH5,
                              checksum, false, 0, nullptr),
                 ELZHBadDecodeTable);
    EXPECT_TRUE(dest.Writes.empty());
}

// ---- input ----

TEST(Lh5Input, StoredDataThatEndsEarlyDecodesAsZeroBitsUpToDestSize) {
    TBitWriter w;
    TScript s(w, lh5::CodedBlock(0, kTwoLiterals));
    for (int i = 0; i < 10; ++i) s.Literal('B');
    std::vector<uint8_t> expected(30, 'A'); // 'A' has the all-zero code
    std::fill_n(expected.begin(), 10, 'B');
    EXPECT_EQ(ExpandLH5Bytes(w, 30), expected);
    // SourceSize larger than what the source holds gives the same.
    EXPECT_EQ(Expand(coLZH5, w.Bytes(), 30, 100000).Out, expected);
}

TEST(Lh5Input, TheNextBlockIsReadOnlyWhenItsBitsAreNeeded) {
    // 1-bit literal codes: the bit reader holds 16 bits beyond those it has used, so a run of
    // symbols that uses 65536 - 16 bits in all stays within the first 8192 bytes; one more does not.
    for (int extra : {0, 1}) {
        TBitWriter header;
        TBlockWriter(header, lh5::CodedBlock(0, kTwoLiterals));
        const auto symbols = static_cast<int32_t>(8192 * 8 - 16 - header.BitCount()) + extra;
        TBitWriter w;
        TBlockWriter block(w, lh5::CodedBlock(static_cast<uint32_t>(symbols), kTwoLiterals));
        for (int i = 0; i < symbols; ++i) block.Literal('B');
        auto stored = w.Bytes();
        stored.resize(8192 + 100, 0);
        const TExpansion e = Expand(coLZH5, stored, symbols);
        EXPECT_EQ(e.Out, std::vector<uint8_t>(static_cast<size_t>(symbols), 'B'));
        EXPECT_EQ(e.SourcePosition, extra == 0 ? 8192 : 8192 + 100);
    }
}

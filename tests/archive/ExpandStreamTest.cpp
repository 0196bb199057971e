// The byte layer every method shares: sizes, progress, key unscrambling, checksum and flushing,
// seen through coNone and the methods that do nothing.
#include "CodecTestSupport.h"

#include "archive/ArchiveFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace yar;
using namespace yar::test;
using ::testing::ElementsAre;

namespace {

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

// A progress handler that records every report and answers -1 at report number stopAt (0-based).
struct TProgressLog {
    std::vector<int32_t> Reports;
    int StopAt = -1;
    TShowProgressEvent Handler() {
        return [this](int32_t& percent) {
            Reports.push_back(percent);
            if (static_cast<int>(Reports.size()) - 1 == StopAt) percent = -1;
        };
    }
};

} // namespace

TEST(PercentOf, MultipliesFirstUpToAHundredThousandThenDividesTheTotal) {
    EXPECT_EQ(PercentOf(50000, 100000), 50);
    EXPECT_EQ(PercentOf(99999, 100000), 99);
    EXPECT_EQ(PercentOf(1, 3), 33);
    EXPECT_EQ(PercentOf(50, 99), 50); // dividing the total first would divide by zero here
    // Above 100000 the total is divided first: 50099 div 1001 = 50, where 5009900 div 100199 = 49.
    EXPECT_EQ(PercentOf(50099, 100199), 50);
    EXPECT_EQ(PercentOf(100001, 200002), 50);
    EXPECT_EQ(PercentOf(2000000000, 2000000000), 100);
    EXPECT_EQ(PercentOf(5, 0), 0); // no division by zero
}

TEST(CopyMethod, CopiesUntilTheStoredBytesAreUsedUpWhateverDestSizeSays) {
    const auto data = Counting(20000);
    const TExpansion e = Expand(coNone, data, 5);
    EXPECT_EQ(e.Out, data);
    EXPECT_EQ(e.Checksum, static_cast<int32_t>(ByteSum(data)));
    EXPECT_EQ(e.SourcePosition, 20000);
}

TEST(CopyMethod, NeverReadsPastSourceSizeAndStopsWhenTheSourceEndsEarly) {
    const auto data = Counting(300);
    EXPECT_EQ(Expand(coNone, data, 0, 100).Out, std::vector<uint8_t>(data.begin(), data.begin() + 100));
    EXPECT_EQ(Expand(coNone, data, 0, 100).SourcePosition, 100);
    EXPECT_EQ(Expand(coNone, data, 0, 5000).Out, data);
}

TEST(CopyMethod, NegativeOrZeroSourceSizeReadsNothing) {
    const auto data = Counting(10);
    for (int32_t size : {0, -1, INT32_MIN}) {
        const TExpansion e = Expand(coNone, data, 10, size);
        EXPECT_TRUE(e.Out.empty());
        EXPECT_EQ(e.SourcePosition, 0);
        EXPECT_EQ(e.Checksum, 0);
    }
}

TEST(OtherMethods, CustomAndUnknownMethodsReadAndWriteNothingAndGiveChecksumZero) {
    for (uint8_t method : {uint8_t{coCustom}, uint8_t{kMethodCount}, uint8_t{255}}) {
        TCompThreadSafety state;
        TMemoryStream source(Counting(100));
        TMemoryStream dest;
        int32_t checksum = 1234;
        TProgressLog log;
        ExpandStream(state, dest, source, 100, 100, method, checksum, false, 0, log.Handler());
        EXPECT_EQ(checksum, 0);
        EXPECT_EQ(source.Position(), 0);
        EXPECT_EQ(dest.Size(), 0);
        EXPECT_THAT(log.Reports, ElementsAre(0, 100));
    }
}

TEST(Checksum, IsTheByteSumWrappingAt32Bits) {
    // 0xFF bytes until the sum passes 2^32 (compressed as one long run of matches).
    TBitWriter w;
    lh5::TBlockWriter(w, lh5::ConstantBlock(1, 0xFF));
    lh5::TBlockWriter(w, lh5::ConstantBlock(0, 509));
    lh5::TBlockWriter(w, lh5::ConstantBlock(400, 509));
    const int32_t size = 1 + 65536 * 256 + 300 * 256;
    TCompThreadSafety state;
    TMemoryStream source(w.Bytes());
    TNullStream dest;
    int32_t checksum = 0;
    ExpandStream(state, dest, source, static_cast<int32_t>(w.Bytes().size()), size, coLZH5, checksum, false,
                 0, nullptr);
    EXPECT_EQ(dest.BytesWritten(), size);
    EXPECT_GT(uint64_t{255} * size, uint64_t{1} << 32);
    EXPECT_EQ(static_cast<uint32_t>(checksum), static_cast<uint32_t>(uint64_t{255} * size));
}

TEST(Checksum, EveryLengthAndAlignmentSumsAsByteByByte) {
    // Around the word folds, from each alignment, with bytes high enough to fill the lanes, and a start
    // that carries over.
    std::vector<uint8_t> bytes(1200);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(255 - i % 7);
    for (size_t offset = 0; offset < 4; ++offset)
        for (size_t count = 0; count + offset <= bytes.size(); count += count < 24 ? 1 : 61) {
            const std::vector<uint8_t> part(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                            bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
            EXPECT_EQ(yar::ByteSum(bytes.data() + offset, count, 0xFFFFFF00u), 0xFFFFFF00u + ByteSum(part))
                << offset << " " << count;
        }
}

TEST(Progress, ReportsZeroThenPerBlockReadThenHundred) {
    TProgressLog log;
    const auto data = Counting(20000);
    EXPECT_EQ(Expand(coNone, data, 0, std::nullopt, log.Handler()).Out, data);
    // The third block's report is PercentOf(20000, 20000); the last 100 is the closing report.
    EXPECT_THAT(log.Reports, ElementsAre(0, 40, 81, 100, 100));
}

TEST(Progress, MinusOneAtTheFirstReportReturnsAtOnce) {
    TProgressLog log;
    log.StopAt = 0;
    TCompThreadSafety state;
    TMemoryStream source(Counting(100));
    TMemoryStream dest;
    int32_t checksum = 77;
    ExpandStream(state, dest, source, 100, 100, coNone, checksum, false, 0, log.Handler());
    EXPECT_EQ(checksum, 77);
    EXPECT_EQ(source.Position(), 0);
    EXPECT_EQ(dest.Size(), 0);
    EXPECT_THAT(log.Reports, ElementsAre(0));
}

TEST(Progress, MinusOneAtALaterReportEndsTheInputThere) {
    TProgressLog log;
    log.StopAt = 2; // the report after the second block
    const auto data = Counting(30000);
    const TExpansion e = Expand(coNone, data, 0, std::nullopt, log.Handler());
    // The first block is copied; the second, though read, is not used.
    EXPECT_EQ(e.Out, std::vector<uint8_t>(data.begin(), data.begin() + 8192));
    EXPECT_EQ(e.SourcePosition, 16384);
    EXPECT_EQ(e.Checksum, static_cast<int32_t>(ByteSum(e.Out)));
    EXPECT_THAT(log.Reports, ElementsAre(0, 27, 54, 100));
}

TEST(Progress, MinusOneLaterLetsLh5RunOnToDestSizeOnZeroBits) {
    // Literal 'A' has the all-zero code, so once the input is cut off every symbol is an 'A'.
    TBitWriter w;
    lh5::TBlockWriter block(w, lh5::CodedBlock(0, lh5::LiteralLengthsWith({{'A', 1}, {'B', 1}})));
    const auto headerBits = static_cast<long>(w.BitCount());
    for (int i = 0; i < 70000; ++i) block.Literal('B');
    TProgressLog log;
    log.StopAt = 2;
    const TExpansion e = Expand(coLZH5, w.Bytes(), 65536, std::nullopt, log.Handler());
    ASSERT_EQ(e.Out.size(), 65536u);
    // Every bit of the first 8192 bytes after the header is a 'B'; the rest decodes as zeros.
    const auto firstA = std::find(e.Out.begin(), e.Out.end(), 'A') - e.Out.begin();
    EXPECT_EQ(firstA, 8192 * 8 - headerBits);
    EXPECT_TRUE(std::all_of(e.Out.begin() + firstA, e.Out.end(), [](uint8_t b) { return b == 'A'; }));
    EXPECT_EQ(log.Reports.back(), 100);
}

TEST(Keys, KeyedInputIsUnscrambledWithTheKeyBytesLowFirstRestartingForEachCall) {
    const std::vector<uint8_t> stored = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    const int32_t key = 0x04030201;
    EXPECT_THAT(Expand(coNone, stored, 0, std::nullopt, nullptr, true, key).Out,
                ElementsAre(0x11, 0x22, 0x33, 0x44, 0x51, 0x62));
    EXPECT_EQ(Expand(coNone, stored, 0, std::nullopt, nullptr, false, key).Out, stored);
    EXPECT_EQ(Expand(coNone, stored, 0, std::nullopt, nullptr, true, 0).Out, stored);

    // Two entries through one state: the second starts again at the low byte.
    TCompThreadSafety state;
    for (int entry = 0; entry < 2; ++entry) {
        TMemoryStream source(std::vector<uint8_t>{0, 0, 0});
        TMemoryStream dest;
        int32_t checksum = 0;
        ExpandStream(state, dest, source, 3, 3, coNone, checksum, true, key, nullptr);
        EXPECT_THAT(dest.Bytes(), ElementsAre(1, 2, 3));
    }
}

TEST(Keys, KeyedInputCrossesBlockBoundariesWithoutLosingStep) {
    std::vector<uint8_t> stored(8192 + 5, 0);
    const auto out =
        Expand(coNone, stored, 0, std::nullopt, nullptr, true, static_cast<int32_t>(0xDDCCBBAA)).Out;
    EXPECT_THAT(std::vector<uint8_t>(out.begin() + 8190, out.end()),
                ElementsAre(0xCC, 0xDD, 0xAA, 0xBB, 0xCC, 0xDD, 0xAA));
}

TEST(Output, FullBuffersGoOutAsTheNextByteArrivesAndTheRestInOneFinalWrite) {
    for (const auto& [size, writes] : std::vector<std::pair<size_t, std::vector<int32_t>>>{
             {20000, {8192, 8192, 3616}}, {16384, {8192, 8192}}, {1, {1}}, {0, {}}}) {
        TCompThreadSafety state;
        TMemoryStream source(Counting(size));
        TRecordingStream dest;
        int32_t checksum = 0;
        ExpandStream(state, dest, source, static_cast<int32_t>(size), 0, coNone, checksum, false, 0, nullptr);
        EXPECT_EQ(dest.Writes, writes) << size;
    }
}

TEST(Failures, AFailingWriteLeavesTheChecksumAndSkipsTheLastReportAndTheStateIsReusable) {
    TCompThreadSafety state;
    TProgressLog log;
    TMemoryStream source(Counting(20000));
    TRecordingStream dest;
    dest.FailAfter = 0;
    int32_t checksum = 55;
    EXPECT_THROW(ExpandStream(state, dest, source, 20000, 0, coNone, checksum, false, 0, log.Handler()),
                 EWriteError);
    EXPECT_EQ(checksum, 55);
    EXPECT_THAT(log.Reports, ElementsAre(0, 40, 81));

    TMemoryStream again(Counting(10));
    TMemoryStream out;
    ExpandStream(state, out, again, 10, 0, coNone, checksum, false, 0, nullptr);
    EXPECT_EQ(out.Size(), 10);
    EXPECT_EQ(checksum, static_cast<int32_t>(ByteSum(Counting(10))));
}

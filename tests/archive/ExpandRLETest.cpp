// coRLE: runs behind the escape byte 0x94.
#include "CodecTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace yar;
using namespace yar::test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {
std::vector<uint8_t> Rle(const std::vector<uint8_t>& stored) {
    return Expand(coRLE, stored, 0).Out;
}
} // namespace

TEST(RleExpand, RunsRepeatThePreviousInputByte) {
    EXPECT_THAT(Rle({0x41, 0x94, 0x05}), ElementsAre(0x41, 0x41, 0x41, 0x41, 0x41));
    EXPECT_THAT(Rle({0x94, 0x05}), ElementsAre(0, 0, 0, 0)); // nothing before: the byte 0
    EXPECT_THAT(Rle({0x41, 0x94, 0x01}), ElementsAre(0x41));
    EXPECT_THAT(Rle({0x41, 0x94, 0xFF}), ::testing::Each(0x41));
    EXPECT_EQ(Rle({0x41, 0x94, 0xFF}).size(), 255u);
}

TEST(RleExpand, TheEscapeByteItself) {
    EXPECT_THAT(Rle({0x94, 0x00}), ElementsAre(0x94));
    EXPECT_THAT(Rle({0x41, 0x94}), ElementsAre(0x41, 0x94)); // a lone escape at the end
    // After an escape sequence the previous byte is the escape byte, not the repeated one.
    EXPECT_THAT(Rle({0x41, 0x94, 0x03, 0x94, 0x03}), ElementsAre(0x41, 0x41, 0x41, 0x94, 0x94));
}

TEST(RleExpand, RunsAcrossBlocksAndIgnoringDestSize) {
    std::vector<uint8_t> stored(8191, 0x33);
    stored.push_back(0x94); // the last byte of the first block; its count is in the next
    stored.push_back(0x04);
    stored.push_back(0x07);
    const auto out = Rle(stored);
    ASSERT_EQ(out.size(), 8191u + 3 + 1);
    EXPECT_THAT(std::vector<uint8_t>(out.end() - 5, out.end()), ElementsAre(0x33, 0x33, 0x33, 0x33, 0x07));
    EXPECT_EQ(Expand(coRLE, stored, 3).SourcePosition, 8194);
}

TEST(RleExpand, EachEntryStartsWithPreviousByteZero) {
    TCompThreadSafety state;
    std::vector<uint8_t> outputs[2];
    for (auto& out : outputs) {
        TMemoryStream source(std::vector<uint8_t>{0x94, 0x03, 0x41});
        TMemoryStream dest;
        int32_t checksum = 0;
        ExpandStream(state, dest, source, 3, 0, coRLE, checksum, false, 0, nullptr);
        out.assign(dest.Bytes().begin(), dest.Bytes().end());
    }
    EXPECT_THAT(outputs[1], ElementsAre(0, 0, 0x41));
}

TEST(RleExpand, NoInputNoOutput) {
    EXPECT_THAT(Rle({}), IsEmpty());
}

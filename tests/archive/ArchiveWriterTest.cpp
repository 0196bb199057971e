#include "tools/builder/ArchiveWriter.h"
#include "archive/ArchiveFormat.h"

#include <gtest/gtest.h>

using namespace yar;

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

} // namespace

// The layout is checked byte by byte here, since the reader shares the record code with the writer.
TEST(ArchiveWriter, WritesTheContainerLayout) {
    builder::TArchiveWriter writer(coNone, 0x11223344);
    builder::TArchiveEntrySource a{"ab", {1, 2, 3}, coNone, 0xA1B2C3D4, 0x0021, 2};
    builder::TArchiveEntrySource b{"c", {9, 9}, coNone, 0, 0x20, 0};
    writer.Add(a).Add(b);
    const auto bytes = writer.Bytes();

    ASSERT_EQ(bytes.size(), 21u + 25 + 2 + 3 + 25 + 1 + 2);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), std::string("XELT\x1A"
                                                                         "NON"));
    EXPECT_EQ(U32At(bytes, 8), 5u); // TotalSize: the sum of the expanded sizes
    EXPECT_EQ(bytes[12], 1);        // caMulti
    EXPECT_EQ(U32At(bytes, 13), 0u);
    EXPECT_EQ(U32At(bytes, 17), 2u); // made with a key above 0

    const size_t e = 21;
    EXPECT_EQ(bytes[e] | bytes[e + 1] << 8, 2);
    EXPECT_EQ(U32At(bytes, e + 2), 0xA1B2C3D4u);
    EXPECT_EQ(bytes[e + 6] | bytes[e + 7] << 8, 0x21);
    EXPECT_EQ(U32At(bytes, e + 8), 3u);
    EXPECT_EQ(U32At(bytes, e + 12), 3u);
    EXPECT_EQ(bytes[e + 16], coNone);
    EXPECT_EQ(U32At(bytes, e + 17), 6u + 0x11223344u); // locked: byte sum + key
    EXPECT_EQ(U32At(bytes, e + 21), 2u);
    EXPECT_EQ(std::string(bytes.begin() + e + 25, bytes.begin() + e + 27), "ab");
    // Keyed: the key's bytes, low byte first.
    EXPECT_EQ(bytes[e + 27], 1 ^ 0x44);
    EXPECT_EQ(bytes[e + 28], 2 ^ 0x33);
    EXPECT_EQ(bytes[e + 29], 3 ^ 0x22);

    const size_t f = e + 30;
    EXPECT_EQ(U32At(bytes, f + 17), 18u); // unlocked: the plain byte sum
    EXPECT_EQ(bytes[f + 25], 'c');
    EXPECT_EQ(bytes[f + 26], 9);
}

TEST(ArchiveWriter, KeyScramblingStartsOverForEachEntry) {
    std::vector<uint8_t> bytes(6, 0);
    builder::ScrambleWithKey(bytes, 0x04030201);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3, 4, 1, 2}));
    builder::TArchiveWriter writer(coLZH5);
    EXPECT_EQ(writer.Image().Header.CompressID, "LH5");
    EXPECT_EQ(writer.Image().Header.KeyMarker, 0);
}

// Numbers as text, each beside what printf makes of the same value.
#include "util/NumberText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace yar {
namespace {

std::string Printed(const char* format, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

TEST(NumberText, HexTextIsPrintfsZeroPaddedHex) {
    for (const uint32_t value : {0u, 1u, 0xAu, 0x80004005u, 0xDEADBEEFu, 0x0FFFFFFFu, 0xFFFFFFFFu}) {
        EXPECT_EQ(HexText(value, 8), Printed("%08x", value)) << value;
        EXPECT_EQ(HexText(value, 8, lcUpper), Printed("%08X", value)) << value;
        EXPECT_EQ(HexText(value, 0), Printed("%x", value)) << value;
    }
    EXPECT_EQ(HexText(0x123456789ABCDEFull, 4, lcUpper), "123456789ABCDEF");
}

TEST(NumberText, HexBytesGivesTwoDigitsPerByteInOrderAndBack) {
    const std::string bytes("\x00\x0F\xF0\xFF\x7F\x80", 6);
    EXPECT_EQ(HexBytes(bytes), "000ff0ff7f80");
    EXPECT_EQ(HexBytes(""), "");
    EXPECT_EQ(BytesFromHex("000ff0ff7f80"), bytes);
    EXPECT_EQ(BytesFromHex(""), "");
    for (const char* other : {"0", "0g", "0F", " 00", "000"})
        EXPECT_EQ(BytesFromHex(other), std::nullopt) << other;
}

TEST(NumberText, FixedTextIsPrintfsFixedPointRightAligned) {
    for (const double value :
         {0.0, 0.0004, 0.0006, 1.0, 12.3456, 99.9996, 12345.678, 123456789.0123, -2.71828}) {
        EXPECT_EQ(FixedText(value, 3, 8), Printed("%8.3f", value)) << value;
        EXPECT_EQ(FixedText(value, 0, 0), Printed("%.0f", value)) << value;
        EXPECT_EQ(FixedText(value, 1, 12), Printed("%12.1f", value)) << value;
    }
    // A half goes away from zero (printf takes the even neighbour).
    EXPECT_EQ(FixedText(2.5, 0, 0), "3");
    EXPECT_EQ(FixedText(-0.0625, 3, 0), "-0.063");
}

} // namespace
} // namespace yar

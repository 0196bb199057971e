#include "setup/FountainBands.h"

#include <gtest/gtest.h>

#include <climits>

namespace yar {
namespace {

TEST(WinMulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(WinMulDiv(1, 1, 2), 1);
    EXPECT_EQ(WinMulDiv(3, 1, 2), 2);
    EXPECT_EQ(WinMulDiv(-1, 1, 2), -1);
    EXPECT_EQ(WinMulDiv(1, -3, 2), -2);
    EXPECT_EQ(WinMulDiv(-3, -1, 2), 2);
    EXPECT_EQ(WinMulDiv(5, 1, -2), -3);
    EXPECT_EQ(WinMulDiv(1, 1, 3), 0);
    EXPECT_EQ(WinMulDiv(2, 1, 3), 1);
    EXPECT_EQ(WinMulDiv(0, -7, 2), 0);
}

TEST(WinMulDiv, MultipliesThroughSixtyFourBits) {
    EXPECT_EQ(WinMulDiv(100000, 100000, 100000), 100000);
    EXPECT_EQ(WinMulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
}

TEST(WinMulDiv, ZeroDivisorAndOverflowGiveMinusOne) {
    EXPECT_EQ(WinMulDiv(5, 5, 0), -1);
    EXPECT_EQ(WinMulDiv(INT_MAX, 2, 1), -1);
    EXPECT_EQ(WinMulDiv(INT_MIN, 1, 1), -1);
}

TEST(FountainSteps, ClampedToOneThroughTwoHundredFiftyFive) {
    EXPECT_EQ(ClampSteps(0), 1);
    EXPECT_EQ(ClampSteps(-5), 1);
    EXPECT_EQ(ClampSteps(1), 1);
    EXPECT_EQ(ClampSteps(128), 128);
    EXPECT_EQ(ClampSteps(255), 255);
    EXPECT_EQ(ClampSteps(300), 255);
}

TEST(FountainBandColor, BlueToBlackRunsDownTheBlueChannelOnly) {
    const uint32_t blue = 0xFF0000, black = 0;
    EXPECT_EQ(BandColor(blue, black, 0, 255), blue);
    EXPECT_EQ(BandColor(blue, black, 254, 255), black);
    // 127 * 255 / 254 is 127.5: the half rounds away from zero, to -128.
    EXPECT_EQ(BandColor(blue, black, 127, 255), 127u << 16);
    uint32_t previous = 256;
    for (int i = 0; i < 255; ++i) {
        const uint32_t c = BandColor(blue, black, i, 255);
        EXPECT_EQ(c & 0xFFFF, 0u) << i;
        EXPECT_LE(c >> 16, previous) << i;
        previous = c >> 16;
    }
}

TEST(FountainBandColor, EachChannelOnItsOwn) {
    // red 0x30 -> 0x10, green stays 0x20, blue 0x10 -> 0x30
    EXPECT_EQ(BandColor(0x102030, 0x302010, 1, 3), 0x202020u);
    EXPECT_EQ(BandColor(0x102030, 0x302010, 2, 3), 0x302010u);
    EXPECT_EQ(BandColor(0xFFFF00, 0x000000, 1, 2), 0x000000u);
}

TEST(FountainPalette, OneEntryPerBandOrNoneForAFlatFill) {
    EXPECT_TRUE(PaletteColors(0xFF0000, 0, 1).empty());
    EXPECT_TRUE(PaletteColors(0x123456, 0x123456, 20).empty());
    const auto colors = PaletteColors(0xFF0000, 0, 20);
    ASSERT_EQ(colors.size(), 20u);
    EXPECT_EQ(colors.front(), 0xFF0000u);
    EXPECT_EQ(colors.back(), 0u);
    EXPECT_EQ(colors[7], BandColor(0xFF0000, 0, 7, 20));
    EXPECT_TRUE(IsFlatFill(1, 2, 1));
    EXPECT_TRUE(IsFlatFill(5, 5, 30));
    EXPECT_FALSE(IsFlatFill(1, 2, 2));
}

TEST(FountainBandRect, HorizontalStripesCoverTheHeightWithoutGaps) {
    // 600 pixels in 255 bands: 2 or 3 pixels each.
    int expectedTop = 0;
    for (int i = 0; i < 255; ++i) {
        const TBandRect r = BandRect(fsHorizontal, i, 255, 300, 600);
        EXPECT_EQ(r.Left, 0);
        EXPECT_EQ(r.Right, 300);
        EXPECT_EQ(r.Top, expectedTop) << i;
        EXPECT_GE(r.Bottom - r.Top, 2) << i;
        EXPECT_LE(r.Bottom - r.Top, 3) << i;
        expectedTop = r.Bottom;
    }
    EXPECT_EQ(expectedTop, 600);
}

TEST(FountainBandRect, VerticalStripesSplitTheWidth) {
    EXPECT_EQ(BandRect(fsVertical, 0, 2, 101, 40), (TBandRect{0, 0, 51, 40}));
    EXPECT_EQ(BandRect(fsVertical, 1, 2, 101, 40), (TBandRect{51, 0, 101, 40}));
}

TEST(FountainBandRect, CirclesShrinkFromTheDiagonalAroundTheCentre) {
    EXPECT_EQ(CircleDiameter(300, 400), 500); // 500.5 rounds to the even 500
    EXPECT_EQ(CircleDiameter(3, 4), 6);       // 5.5 rounds to the even 6
    EXPECT_EQ(CircleDiameter(1, 1), 2);
    EXPECT_EQ(CircleDiameter(0, 0), 0);
    EXPECT_EQ(BandRect(fsCircular, 0, 255, 300, 400), (TBandRect{-100, -50, 400, 450}));
    // d = MulDiv(1, 500, 255) = 2
    EXPECT_EQ(BandRect(fsCircular, 254, 255, 300, 400), (TBandRect{149, 199, 151, 201}));
    // 5 x 7: D = 9, d = MulDiv(1, 9, 2) = 5; the odd halves are cut: 5 div 2 = 2, 7 div 2 = 3
    EXPECT_EQ(BandRect(fsCircular, 1, 2, 5, 7), (TBandRect{0, 1, 5, 6}));
}

} // namespace
} // namespace yar

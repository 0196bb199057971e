#include "toolkit/DpiScale.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace yar {
namespace {

struct TScaleCase {
    int Value;
    int To;
    int From;
    int Expected;
};

TEST(DpiScale, RoundsToTheNearestPixelHalvesAwayFromZero) {
    const TScaleCase cases[] = {
        {480, 192, 96, 960},                    // 200%
        {25, 144, 96, 38},                      // 150%: 37.5 rounds up
        {-25, 144, 96, -38},                    // and down below zero, symmetric
        {11, 120, 96, 14},                      // 125%: 13.75
        {10, 120, 96, 13},                      // 12.5
        {3, 120, 96, 4},                        // 3.75
        {1, 120, 96, 1},                        // 1.25: a line stays a line
        {0, 192, 96, 0},     {15, 96, 144, 10}, // back from 150%
        {17, 96, 144, 11},                      // 11.33
        {1, 96, 192, 1}, // 0.5 rounds away from zero, a line never vanishes on the way back
    };
    for (const TScaleCase& c : cases) {
        EXPECT_EQ(ScalePixels(c.Value, c.To, c.From), c.Expected)
            << c.Value << " from " << c.From << " to " << c.To;
    }
    // The product of a large coordinate and a resolution passes 2^31; the result does not.
    EXPECT_EQ(ScalePixels(20000000, 192, 240), 16000000);
    EXPECT_EQ(ScalePixels(-20000000, 240, 192), -25000000);
}

TEST(DpiScale, DesignResolutionIsTheDefaultSource) {
    EXPECT_EQ(ScalePixels(40, 192), ScalePixels(40, 192, kDesignPixelsPerInch));
    EXPECT_EQ(ScalePixels(40, kDesignPixelsPerInch), 40);
}

TEST(DpiScale, AdjoiningRectanglesStillAdjoinAtEveryResolution) {
    // A row of buttons 75 wide with gaps of 5, and a column of rows 21 high: the next one starts where the
    // last ended (plus the scaled gap) at 100% to 300% in steps of 24 pixels per inch.
    for (int ppi = 96; ppi <= 288; ppi += 24) {
        for (int i = 0; i < 6; ++i) {
            const TEdges a{8 + i * 80, 7 + i * 21, 8 + i * 80 + 75, 7 + (i + 1) * 21};
            const TEdges b{a.Right + 5, a.Bottom, a.Right + 80, a.Bottom + 21};
            const TEdges sa = ScaleEdges(a, ppi);
            const TEdges sb = ScaleEdges(b, ppi);
            EXPECT_EQ(sb.Top, sa.Bottom) << ppi << " row " << i;
            EXPECT_EQ(sb.Left - sa.Right, ScalePixels(a.Right + 5, ppi) - ScalePixels(a.Right, ppi));
            // Sizes may differ from the scaled size by the rounding of two edges only.
            EXPECT_LE(std::abs((sa.Right - sa.Left) - ScalePixels(75, ppi)), 1) << ppi;
        }
    }
}

TEST(DpiScale, GoingThereAndBackKeepsTheDesign) {
    // A window moved to a monitor of another resolution and back lands on its first layout.
    const TEdges design{8, 312, 88, 337};
    for (const int ppi : {120, 144, 168, 192, 240, 288}) {
        const TEdges there = ScaleEdges(design, ppi);
        EXPECT_EQ(ScaleEdges(there, kDesignPixelsPerInch, ppi), design) << ppi;
    }
    EXPECT_EQ(ScaleEdges(design, 192), (TEdges{16, 624, 176, 674}));
}

} // namespace
} // namespace yar

#include "toolkit/PixelScale.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace yar {
namespace {

uint32_t Grey(uint32_t v) {
    return 0xFF000000u | v << 16 | v << 8 | v;
}

uint32_t Blue(uint32_t pixel) {
    return pixel & 0xFF;
}

TEST(PixelScale, SameSizeAndFlatColourStayAsTheyAre) {
    const TPixels flat{3, 2, std::vector<uint32_t>(6, 0x80402010u)};
    for (const auto& [w, h] : {std::pair{3, 2}, std::pair{6, 4}, std::pair{5, 3}, std::pair{1, 1}}) {
        const TPixels scaled = ScalePixelsSmoothly(flat, w, h);
        ASSERT_EQ(scaled.Data.size(), static_cast<size_t>(w * h));
        for (uint32_t p : scaled.Data) EXPECT_EQ(p, 0x80402010u) << w << "x" << h;
    }
    const TPixels ramp{4, 1, {Grey(0), Grey(10), Grey(200), Grey(255)}};
    EXPECT_EQ(ScalePixelsSmoothly(ramp, 4, 1).Data, ramp.Data);
}

TEST(PixelScale, DoublingBlendsAnEdgeInsteadOfRepeatingPixels) {
    // Black beside white at 200%: the outer pixels keep their colour, the two at the edge lie between,
    // rising from left to right; a copy of the nearest pixel would give 0, 0, 255, 255.
    const TPixels edge{2, 1, {Grey(0), Grey(255)}};
    const TPixels scaled = ScalePixelsSmoothly(edge, 4, 1);
    ASSERT_EQ(scaled.Data.size(), 4u);
    EXPECT_EQ(Blue(scaled.Data[0]), 0u);
    EXPECT_EQ(Blue(scaled.Data[3]), 255u);
    EXPECT_GT(Blue(scaled.Data[1]), 0u);
    EXPECT_LT(Blue(scaled.Data[1]), Blue(scaled.Data[2]));
    EXPECT_LT(Blue(scaled.Data[2]), 255u);
    // Symmetric: the two middle pixels mirror each other around half way.
    EXPECT_NEAR(static_cast<int>(Blue(scaled.Data[1]) + Blue(scaled.Data[2])), 255, 1);
}

TEST(PixelScale, ShrinkingAveragesEveryPixel) {
    // A one-pixel line in eight: shrunk to a quarter it must still show, as a quarter of its strength
    // (a plain bilinear sample would land between other pixels and lose it).
    TPixels lines{8, 8, std::vector<uint32_t>(64, Grey(0))};
    for (int y = 0; y < 8; ++y) lines.Data[static_cast<size_t>(y) * 8 + 5] = Grey(255);
    const TPixels scaled = ScalePixelsSmoothly(lines, 2, 2);
    ASSERT_EQ(scaled.Data.size(), 4u);
    EXPECT_EQ(Blue(scaled.Data[0]), 0u);
    EXPECT_NEAR(static_cast<int>(Blue(scaled.Data[1])), 64, 1);
    EXPECT_EQ(scaled.Data[1], scaled.Data[3]);
}

TEST(PixelScale, PremultipliedPixelsStayPremultiplied) {
    // Transparent beside opaque red, premultiplied: no channel may pass its alpha after mixing.
    const TPixels source{2, 2, {0x00000000u, 0xFFFF0000u, 0x80800000u, 0x00000000u}};
    for (const auto& [w, h] : {std::pair{3, 3}, std::pair{4, 4}, std::pair{7, 5}}) {
        for (uint32_t p : ScalePixelsSmoothly(source, w, h).Data) {
            const uint32_t alpha = p >> 24;
            for (int c = 0; c < 3; ++c) EXPECT_LE((p >> (8 * c)) & 0xFF, alpha) << w << "x" << h;
        }
    }
}

TEST(PixelScale, RefusesPixelsOfNoSize) {
    const TPixels one{1, 1, {Grey(1)}};
    EXPECT_THROW(ScalePixelsSmoothly(one, 0, 5), std::invalid_argument);
    EXPECT_THROW(ScalePixelsSmoothly(one, 5, -1), std::invalid_argument);
    EXPECT_THROW(ScalePixelsSmoothly(TPixels{}, 5, 5), std::invalid_argument);
    EXPECT_THROW(ScalePixelsSmoothly(TPixels{2, 2, {Grey(1)}}, 5, 5), std::invalid_argument);
}

} // namespace
} // namespace yar

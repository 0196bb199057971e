#include "setup/FountainBands.h"

#include <algorithm>
#include <cmath>

namespace yar {

int32_t WinMulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t multiplicand = a;
    int64_t divisor = c;
    if (divisor < 0) {
        multiplicand = -multiplicand;
        divisor = -divisor;
    }
    const int64_t product = multiplicand * b;
    // Rounding moves away from zero: up for a positive result, down for a negative one.
    const bool positive = (multiplicand < 0) == (b < 0);
    const int64_t result = (positive ? product + divisor / 2 : product - divisor / 2) / divisor;
    if (result > INT32_MAX || result < -INT32_MAX) return -1;
    return static_cast<int32_t>(result);
}

int ClampSteps(int steps) {
    return std::clamp(steps, 1, 255);
}

bool IsFlatFill(uint32_t fromRGB, uint32_t toRGB, int n) {
    return n < 2 || fromRGB == toRGB;
}

uint32_t BandColor(uint32_t fromRGB, uint32_t toRGB, int i, int n) {
    uint32_t color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int from = static_cast<int>((fromRGB >> shift) & 0xFF);
        const int to = static_cast<int>((toRGB >> shift) & 0xFF);
        const int channel = from + WinMulDiv(i, to - from, n - 1);
        color |= static_cast<uint32_t>(channel & 0xFF) << shift;
    }
    return color;
}

std::vector<uint32_t> PaletteColors(uint32_t fromRGB, uint32_t toRGB, int n) {
    std::vector<uint32_t> colors;
    if (IsFlatFill(fromRGB, toRGB, n)) return colors;
    colors.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) colors.push_back(BandColor(fromRGB, toRGB, i, n));
    return colors;
}

int CircleDiameter(int width, int height) {
    const double diagonal =
        std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height);
    return static_cast<int>(std::nearbyint(diagonal + 0.5)); // the default rounding mode: half to even
}

TBandRect BandRect(TFountainStyle style, int i, int n, int width, int height) {
    switch (style) {
    case fsVertical:
        return TBandRect{WinMulDiv(i, width, n), 0, WinMulDiv(i + 1, width, n), height};
    case fsCircular: {
        const int d = WinMulDiv(n - i, CircleDiameter(width, height), n);
        const int left = width / 2 - d / 2;
        const int top = height / 2 - d / 2;
        return TBandRect{left, top, left + d, top + d};
    }
    case fsHorizontal:
    default:
        return TBandRect{0, WinMulDiv(i, height, n), width, WinMulDiv(i + 1, height, n)};
    }
}

} // namespace yar

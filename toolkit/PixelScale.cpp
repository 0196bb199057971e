#include "toolkit/PixelScale.h"

#include <algorithm>
#include <stdexcept>

namespace yar {

namespace {

uint32_t Channel(uint32_t pixel, int c) {
    return (pixel >> (8 * c)) & 0xFF;
}

// Halves a side by averaging neighbouring pairs (the last pixel of an odd side stands alone).
TPixels HalveWidth(const TPixels& s) {
    TPixels d{(s.Width + 1) / 2, s.Height, {}};
    d.Data.resize(static_cast<size_t>(d.Width) * static_cast<size_t>(d.Height));
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < d.Width; ++x) {
            const uint32_t a = s.Data[static_cast<size_t>(y) * s.Width + 2 * x];
            const uint32_t b = s.Data[static_cast<size_t>(y) * s.Width + std::min(2 * x + 1, s.Width - 1)];
            uint32_t mixed = 0;
            for (int c = 0; c < 4; ++c) mixed |= ((Channel(a, c) + Channel(b, c) + 1) / 2) << (8 * c);
            d.Data[static_cast<size_t>(y) * d.Width + x] = mixed;
        }
    return d;
}

TPixels Transposed(const TPixels& s) {
    TPixels d{s.Height, s.Width, std::vector<uint32_t>(s.Data.size())};
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x)
            d.Data[static_cast<size_t>(x) * d.Width + y] = s.Data[static_cast<size_t>(y) * s.Width + x];
    return d;
}

// Where a target pixel's centre falls in the source, in 1/256 of a source pixel from the centre of
// source pixel 0, clamped to the source.
int64_t SourcePosition(int target, int targetSize, int sourceSize) {
    const int64_t pos = ((2 * static_cast<int64_t>(target) + 1) * sourceSize * 256) / (2 * targetSize) - 128;
    return std::clamp<int64_t>(pos, 0, static_cast<int64_t>(sourceSize - 1) * 256);
}

} // namespace

TPixels ScalePixelsSmoothly(const TPixels& source, int width, int height) {
    if (source.Width <= 0 || source.Height <= 0 || width <= 0 || height <= 0 ||
        source.Data.size() != static_cast<size_t>(source.Width) * static_cast<size_t>(source.Height))
        throw std::invalid_argument("Pixels of no size cannot be scaled");
    TPixels s = source;
    while (s.Width >= 2 * width) s = HalveWidth(s);
    while (s.Height >= 2 * height) s = Transposed(HalveWidth(Transposed(s)));

    TPixels d{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height))};
    for (int y = 0; y < height; ++y) {
        const int64_t py = SourcePosition(y, height, s.Height);
        const int y0 = static_cast<int>(py >> 8);
        const int y1 = std::min(y0 + 1, s.Height - 1);
        const auto fy = static_cast<uint32_t>(py & 0xFF);
        for (int x = 0; x < width; ++x) {
            const int64_t px = SourcePosition(x, width, s.Width);
            const int x0 = static_cast<int>(px >> 8);
            const int x1 = std::min(x0 + 1, s.Width - 1);
            const auto fx = static_cast<uint32_t>(px & 0xFF);
            const auto at = [&s](int xx, int yy) { return s.Data[static_cast<size_t>(yy) * s.Width + xx]; };
            const uint32_t p00 = at(x0, y0), p10 = at(x1, y0), p01 = at(x0, y1), p11 = at(x1, y1);
            uint32_t mixed = 0;
            for (int c = 0; c < 4; ++c) {
                const uint32_t top = Channel(p00, c) * (256 - fx) + Channel(p10, c) * fx;
                const uint32_t bottom = Channel(p01, c) * (256 - fx) + Channel(p11, c) * fx;
                const uint32_t value = (top * (256 - fy) + bottom * fy + 32768) >> 16;
                mixed |= std::min<uint32_t>(value, 255) << (8 * c);
            }
            d.Data[static_cast<size_t>(y) * width + x] = mixed;
        }
    }
    return d;
}

} // namespace yar

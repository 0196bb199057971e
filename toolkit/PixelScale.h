// Smooth scaling of a picture's pixels to another size, for pictures shown at a resolution other than
// the one they were drawn for. Needs no operating system.
#pragma once

#include <cstdint>
#include <vector>

namespace yar {

// Pixels of 32 bits (four 8-bit channels, alpha premultiplied or not: each channel is treated alike),
// rows top down without padding.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Data;
};

// The pixels at width x height: each target pixel's centre mapped into the source and the four
// nearest source pixels mixed by their distance (bilinear), edges repeated; a side that shrinks to
// less than half is first averaged in boxes, so no source pixel is skipped. Throws
// std::invalid_argument for an empty source or target size.
TPixels ScalePixelsSmoothly(const TPixels& source, int width, int height);

} // namespace yar

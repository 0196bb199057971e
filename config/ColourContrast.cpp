#include "config/ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace yar {

namespace {

// A channel of sRGB taken back to linear light.
double Linear(uint32_t channel) {
    const double c = static_cast<double>(channel & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(uint32_t bgr) {
    return 0.2126 * Linear(bgr) + 0.7152 * Linear(bgr >> 8) + 0.0722 * Linear(bgr >> 16);
}

} // namespace

double ContrastRatio(uint32_t first, uint32_t second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

} // namespace yar

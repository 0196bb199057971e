#include "toolkit/DpiScale.h"

#include <cstdint>

namespace yar {

int ScalePixels(int value, int to, int from) {
    // In 64 bits: a screen coordinate times a resolution may pass 2^31.
    const int64_t product = static_cast<int64_t>(value) * to;
    const int64_t half = from / 2;
    const int64_t rounded = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int>(rounded);
}

TEdges ScaleEdges(const TEdges& edges, int to, int from) {
    return TEdges{ScalePixels(edges.Left, to, from), ScalePixels(edges.Top, to, from),
                  ScalePixels(edges.Right, to, from), ScalePixels(edges.Bottom, to, from)};
}

} // namespace yar

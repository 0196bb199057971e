// The arithmetic of the gradient background: the colour and the area of each band. Colours are
// RGB values $00BBGGRR; system colours must have been turned into RGB before.
#pragma once

#include <cstdint>
#include <vector>

namespace yar {

enum TFountainStyle : uint8_t { fsHorizontal = 0, fsVertical = 1, fsCircular = 2 };

struct TBandRect {
    int Left, Top, Right, Bottom;
    bool operator==(const TBandRect&) const = default;
};

// a * b / c through 64 bits, rounded to the nearest integer with halves away from zero, as the
// system's MulDiv does; -1 when c is 0 or the result does not fit in 32 bits.
int32_t WinMulDiv(int32_t a, int32_t b, int32_t c);

// Steps below 1 become 1, above 255 become 255.
int ClampSteps(int steps);

// n < 2 bands, or equal end colours: the whole area is one fill in the first colour.
bool IsFlatFill(uint32_t fromRGB, uint32_t toRGB, int n);

// Colour of band i of n (n >= 2): per channel from + MulDiv(i, to - from, n - 1), modulo 256.
uint32_t BandColor(uint32_t fromRGB, uint32_t toRGB, int i, int n);

// The colours of the logical palette: one per band, none for a flat fill.
std::vector<uint32_t> PaletteColors(uint32_t fromRGB, uint32_t toRGB, int n);

// The diameter of the first (largest) circle: the area's diagonal plus 0.5, rounded half to even.
int CircleDiameter(int width, int height);

// The area band i of n covers on a surface of width x height: a rectangle for the stripes, the
// bounding square of the circle for fsCircular.
TBandRect BandRect(TFountainStyle style, int i, int n, int width, int height);

} // namespace yar

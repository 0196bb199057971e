// The arithmetic of scaling the fixed layout to a screen's resolution: positions and sizes are
// designed in pixels at 96 pixels per inch and multiplied by the window's pixels per inch. Needs no
// operating system.
#pragma once

namespace yar {

// The resolution the layout's pixels are designed for.
constexpr int kDesignPixelsPerInch = 96;

// value * to / from, rounded to the nearest pixel, halves away from zero; from must be positive.
int ScalePixels(int value, int to, int from = kDesignPixelsPerInch);

// A rectangle by its edges.
struct TEdges {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const TEdges&) const = default;
};

// Scales the edges, not the sizes: controls that adjoin at one resolution adjoin at every other, and
// a control ends where its neighbour at the same designed place ends.
TEdges ScaleEdges(const TEdges& edges, int to, int from = kDesignPixelsPerInch);

} // namespace yar

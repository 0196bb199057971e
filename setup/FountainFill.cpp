#include "setup/FountainFill.h"

#include "toolkit/HighContrast.h"

#include <vector>

namespace yar {

namespace {

// Marks a colour as palette-relative: the device maps it to the nearest entry of the selected palette.
constexpr COLORREF kPaletteRelative = 0x02000000;

void FillWithColor(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

} // namespace

TFountainFill::TFountainFill(TWinControl* parent, const TBounds& bounds) : TGraphicControl(parent, bounds) {}

TFountainFill::~TFountainFill() {
    DeletePalette();
}

void TFountainFill::Changed() {
    DeletePalette();
    Invalidate();
}

void TFountainFill::SetFromColor(TColor color) {
    if (color == FFromColor) return;
    FFromColor = color;
    Changed();
}

void TFountainFill::SetToColor(TColor color) {
    if (color == FToColor) return;
    FToColor = color;
    Changed();
}

void TFountainFill::SetSteps(int steps) {
    steps = ClampSteps(steps);
    if (steps == FSteps) return;
    FSteps = steps;
    Changed();
}

void TFountainFill::SetStyle(TFountainStyle style) {
    if (style == FStyle) return;
    FStyle = style;
    Invalidate();
}

void TFountainFill::SetUsePalette(bool usePalette) {
    if (usePalette == FUsePalette) return;
    FUsePalette = usePalette;
    Changed();
}

void TFountainFill::DeletePalette() {
    if (FPalette) DeleteObject(FPalette);
    FPalette = nullptr;
}

void TFountainFill::BuildPalette() {
    const std::vector<uint32_t> colors = PaletteColors(ColorToRGB(FFromColor), ColorToRGB(FToColor), FSteps);
    if (colors.empty()) return;
    // LOGPALETTE declares one entry; the others follow it in the same block.
    std::vector<BYTE> block(sizeof(LOGPALETTE) + (colors.size() - 1) * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colors.size());
    for (size_t k = 0; k < colors.size(); ++k) {
        PALETTEENTRY& entry = palette->palPalEntry[k];
        entry.peRed = GetRValue(colors[k]);
        entry.peGreen = GetGValue(colors[k]);
        entry.peBlue = GetBValue(colors[k]);
        entry.peFlags = 0;
    }
    FPalette = CreatePalette(palette);
}

void TFountainFill::SelectPaletteInto(HDC dc) const {
    if (!FPalette) return;
    SelectPalette(dc, FPalette, FALSE);
    RealizePalette(dc);
}

void TFountainFill::Paint(HDC dc) {
    const int width = Width();
    const int height = Height();
    // High contrast: the theme's window colour, on which the theme's text colour reads.
    if (HighContrastOn()) {
        FillWithColor(dc, RECT{0, 0, width, height}, ColorToRGB(clWindow));
        return;
    }
    if (FUsePalette && !FPalette) BuildPalette();
    if (!FDrawOnScreen) {
        // No bitmap means the system is short of graphics resources: draw straight onto dc instead.
        if (HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height)) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
            HPALETTE oldPalette = FPalette ? SelectPalette(memory, FPalette, FALSE) : nullptr;
            if (FPalette) RealizePalette(memory);
            DrawGradient(memory, width, height);
            if (FPalette) SelectPalette(memory, oldPalette, FALSE);
            SelectPaletteInto(dc);
            BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
            SelectObject(memory, oldBitmap);
            DeleteDC(memory);
            DeleteObject(bitmap);
            return;
        }
    }
    SelectPaletteInto(dc);
    DrawGradient(dc, width, height);
}

void TFountainFill::DrawGradient(HDC dc, int width, int height) const {
    const COLORREF from = ColorToRGB(FFromColor);
    const COLORREF to = ColorToRGB(FToColor);
    if (IsFlatFill(from, to, FSteps)) {
        FillWithColor(dc, RECT{0, 0, width, height}, from);
        return;
    }
    // No outline: the circles are filled only.
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (int i = 0; i < FSteps; ++i) {
        COLORREF color = BandColor(from, to, i, FSteps);
        if (FPalette) color |= kPaletteRelative;
        const TBandRect band = BandRect(FStyle, i, FSteps, width, height);
        if (FStyle == fsCircular) {
            HBRUSH brush = CreateSolidBrush(color);
            SelectObject(dc, brush);
            Ellipse(dc, band.Left, band.Top, band.Right, band.Bottom);
            SelectObject(dc, GetStockObject(NULL_BRUSH));
            DeleteObject(brush);
        } else {
            FillWithColor(dc, RECT{band.Left, band.Top, band.Right, band.Bottom}, color);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

} // namespace yar

// TFountainFill: the windowless control that paints the background's colour gradient as flat
// bands between two colours, through a logical palette of the band colours where wanted; in high
// contrast the system's window colour instead.
#pragma once

#include "setup/FountainBands.h"
#include "toolkit/Controls.h"

namespace yar {

class TFountainFill : public TGraphicControl {
public:
    explicit TFountainFill(TWinControl* parent, const TBounds& bounds = {0, 0, 50, 50});
    ~TFountainFill() override;

    TColor FromColor() const { return FFromColor; }
    void SetFromColor(TColor color);
    TColor ToColor() const { return FToColor; }
    void SetToColor(TColor color);
    int Steps() const { return FSteps; }
    // Clamped to 1..255.
    void SetSteps(int steps);
    TFountainStyle Style() const { return FStyle; }
    // Repaints; the palette stays.
    void SetStyle(TFountainStyle style);
    bool UsePalette() const { return FUsePalette; }
    void SetUsePalette(bool usePalette);
    bool DrawOnScreen() const { return FDrawOnScreen; }
    // Takes effect at the next paint.
    void SetDrawOnScreen(bool drawOnScreen) { FDrawOnScreen = drawOnScreen; }

    // The logical palette of the band colours, once a paint has made it; nullptr otherwise.
    HPALETTE Palette() const { return FPalette; }

    // Off screen by default: the bands are drawn into a bitmap that is then copied in one piece;
    // straight onto dc when DrawOnScreen is set or no bitmap can be made.
    void Paint(HDC dc) override;
    bool Opaque() const override { return true; }

private:
    void BuildPalette();
    void DeletePalette();
    void SelectPaletteInto(HDC dc) const;
    void DrawGradient(HDC dc, int width, int height) const;
    void Changed();

    TColor FFromColor = clAqua;
    TColor FToColor = clBlack;
    int FSteps = 20;
    TFountainStyle FStyle = fsHorizontal;
    bool FUsePalette = true;
    bool FDrawOnScreen = false;
    HPALETTE FPalette = nullptr;
};

} // namespace yar

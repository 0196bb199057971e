// Colours and fonts as the windows of the setup use them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace yar {

// $00BBGGRR, or a system colour: $80000000 plus the system colour index.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;

// The RGB value a colour stands for now: system colours are looked up, others pass unchanged.
COLORREF ColorToRGB(TColor color);

// Colour i of n on the way between two RGB colours: per channel from + MulDiv(i, to - from, n - 1),
// modulo 256. Colour 0 is from, colour n - 1 is to; with fewer than two colours, from.
COLORREF GradientColor(COLORREF from, COLORREF to, int i, int n);

// A font description; the GDI font is made on first use and remade after each change. Its height is
// designed at 96 pixels per inch; the GDI font is made for the resolution of the window showing it.
class TFont {
public:
    TFont() = default;
    TFont(std::string name, int height, TColor color = clBlack);
    ~TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name);
    // Character height in pixels at 96 pixels per inch.
    int Height() const { return FHeight; }
    void SetHeight(int height);
    // Size in points.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }
    bool Bold() const { return FBold; }
    void SetBold(bool bold);
    // The resolution the GDI font is made for; a control sets its own.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int ppi);

    HFONT Handle() const;

private:
    void FreeHandle() const;

    std::string FName = "MS Sans Serif";
    int FHeight = 11;
    TColor FColor = clWindowText;
    bool FBold = false;
    int FPixelsPerInch = 96;
    mutable HFONT FHandle = nullptr;
};

// Restores a device context to its saved state when the scope ends, also when painting throws.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
    ~TSavedDC() { RestoreDC(FDC, FSaved); }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

} // namespace yar

#include "toolkit/Graphics.h"

#include "toolkit/DpiScale.h"

#include <utility>

namespace yar {

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

COLORREF GradientColor(COLORREF from, COLORREF to, int i, int n) {
    if (n < 2) return from;
    COLORREF color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        color |= static_cast<COLORREF>((a + MulDiv(i, b - a, n - 1)) & 0xFF) << shift;
    }
    return color;
}

TFont::TFont(std::string name, int height, TColor color)
    : FName(std::move(name)), FHeight(height), FColor(color) {}

TFont::~TFont() {
    FreeHandle();
}

TFont::TFont(const TFont& other)
    : FName(other.FName), FHeight(other.FHeight), FColor(other.FColor), FBold(other.FBold),
      FPixelsPerInch(other.FPixelsPerInch) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        FreeHandle();
        FName = other.FName;
        FHeight = other.FHeight;
        FColor = other.FColor;
        FBold = other.FBold;
        FPixelsPerInch = other.FPixelsPerInch;
    }
    return *this;
}

void TFont::SetName(const std::string& name) {
    if (name == FName) return;
    FreeHandle();
    FName = name;
}

void TFont::SetHeight(int height) {
    if (height == FHeight) return;
    FreeHandle();
    FHeight = height;
}

int TFont::Size() const {
    return MulDiv(FHeight, 72, kDesignPixelsPerInch);
}

void TFont::SetSize(int points) {
    SetHeight(MulDiv(points, kDesignPixelsPerInch, 72));
}

void TFont::SetPixelsPerInch(int ppi) {
    if (ppi == FPixelsPerInch) return;
    FreeHandle();
    FPixelsPerInch = ppi;
}

void TFont::SetBold(bool bold) {
    if (bold == FBold) return;
    FreeHandle();
    FBold = bold;
}

HFONT TFont::Handle() const {
    if (!FHandle) {
        LOGFONTA lf{};
        // Negative: character height, without the internal leading.
        lf.lfHeight = -ScalePixels(FHeight, FPixelsPerInch);
        lf.lfWeight = FBold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectA(&lf);
    }
    return FHandle;
}

void TFont::FreeHandle() const {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

} // namespace yar

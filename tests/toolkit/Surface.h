// Pixels to check what controls paint: a memory surface to paint into, and the screen under a window.
#pragma once

#include <windows.h>

namespace yar::test {

// A 32-bit memory surface filled with one colour.
class TSurface {
public:
    TSurface(int width, int height, COLORREF fill) : FWidth(width), FHeight(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        DC = CreateCompatibleDC(nullptr);
        FOld = SelectObject(DC, FBitmap);
        const RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(DC, &all, brush);
        DeleteObject(brush);
    }
    ~TSurface() {
        SelectObject(DC, FOld);
        DeleteDC(DC);
        DeleteObject(FBitmap);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    COLORREF At(int x, int y) const { return GetPixel(DC, x, y); }
    // How many pixels of the rectangle have the colour.
    int Count(const RECT& r, COLORREF color) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += At(x, y) == color ? 1 : 0;
        return n;
    }

    HDC DC;

private:
    int FWidth, FHeight;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
};

// A copy of what a window shows, its frame included (x and y from the window's top-left corner):
// once it has painted itself all over again, or as it is now.
class TWindowShot : public TSurface {
public:
    explicit TWindowShot(HWND window, bool repaint = true)
        : TSurface(Size(window).cx, Size(window).cy, RGB(0, 0, 0)) {
        if (repaint)
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC screen = GetWindowDC(window);
        BitBlt(DC, 0, 0, Width(), Height(), screen, 0, 0, SRCCOPY);
        ReleaseDC(window, screen);
    }

private:
    static SIZE Size(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
};

} // namespace yar::test

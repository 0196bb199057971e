#include "toolkit/Dpi.h"

namespace yar {

namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetDpiForSystem = UINT(WINAPI*)();
using TAdjustWindowRectExForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using TGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);
using TSystemParametersInfoForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// A function of user32 that older systems lack, nullptr there. user32 is among the program's imports,
// so it is the system's own copy and no DLL is loaded by name.
template <typename TFunction> TFunction User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

int ScreenPixelsPerInchOrDesign() {
    HDC dc = GetDC(nullptr);
    const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return ppi > 0 ? ppi : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

int SystemPixelsPerInch() {
    static const auto getDpiForSystem = User32Function<TGetDpiForSystem>("GetDpiForSystem");
    if (getDpiForSystem) {
        const UINT ppi = getDpiForSystem();
        if (ppi > 0) return static_cast<int>(ppi);
    }
    return ScreenPixelsPerInchOrDesign();
}

int WindowPixelsPerInch(HWND window) {
    static const auto getDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT ppi = getDpiForWindow(window);
        if (ppi > 0) return static_cast<int>(ppi);
    }
    return SystemPixelsPerInch();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int ppi) {
    static const auto adjust = User32Function<TAdjustWindowRectExForDpi>("AdjustWindowRectExForDpi");
    if (adjust && adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(ppi))) return;
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

int SystemMetricForDpi(int index, int ppi) {
    static const auto metric = User32Function<TGetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    return metric ? metric(index, static_cast<UINT>(ppi)) : GetSystemMetrics(index);
}

LOGFONTW CaptionFontForDpi(bool small, int ppi) {
    static const auto parameters = User32Function<TSystemParametersInfoForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!parameters ||
        !parameters(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(ppi)))
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return small ? metrics.lfSmCaptionFont : metrics.lfCaptionFont;
}

} // namespace yar

#include "toolkit/GradientCaption.h"

#include "toolkit/Application.h"
#include "toolkit/Dpi.h"
#include "toolkit/HighContrast.h"

#include <algorithm>

namespace yar {

namespace {

// Designed at 96 pixels per inch.
constexpr int kTextIndent = 3;
constexpr int kCloseBoxSide = 11; // the close box of a tool window, as the system draws it

// The theme's own caption colours, for high contrast.
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;

// The system's caption font (the small one of tool windows) at the form's resolution, in bold or not.
HFONT CaptionFont(bool toolWindow, bool bold, int ppi) {
    LOGFONTW font = CaptionFontForDpi(toolWindow, ppi);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    // The caption is text of the system's code page, which the font's own character set may lack.
    font.lfCharSet = DEFAULT_CHARSET;
    return CreateFontIndirectW(&font);
}

} // namespace

TGradientCaption::TGradientCaption(TForm& form) : FForm(form), FActive(GetActiveWindow() == form.Handle()) {
    FForm.AddNonClientHook(this);
    Repaint();
}

TGradientCaption::~TGradientCaption() {
    FForm.RemoveNonClientHook(this);
    // The system's own caption comes back.
    Repaint();
}

void TGradientCaption::Change(TColor& field, TColor color) {
    if (field == color) return;
    field = color;
    Repaint();
}

void TGradientCaption::SetNumColors(int count) {
    count = std::clamp(count, 1, 255);
    if (count == FNumColors) return;
    FNumColors = count;
    Repaint();
}

void TGradientCaption::Repaint() const {
    RedrawWindow(FForm.Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

bool TGradientCaption::ToolWindow() const {
    return (GetWindowLongPtrA(FForm.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

RECT TGradientCaption::CaptionRect() const {
    RECT window;
    GetWindowRect(FForm.Handle(), &window);
    POINT client{0, 0};
    ClientToScreen(FForm.Handle(), &client);
    // The frame is as wide at the top as at the sides; the caption ends a line above the client area.
    const int frame = client.x - window.left;
    return RECT{frame, frame, window.right - window.left - frame, client.y - window.top - 1};
}

std::string TGradientCaption::BoldText() const {
    return Application().Title();
}

std::string TGradientCaption::PlainText() const {
    const std::string caption = FForm.Caption();
    return BoldText().empty() || caption.empty() ? caption : " - " + caption;
}

void TGradientCaption::NonClientPainted(UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((GetWindowLongPtrA(FForm.Handle(), GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return;
    switch (msg) {
    case WM_NCACTIVATE:
        FActive = wParam != FALSE;
        break;
    case WM_PRINT:
        if (lParam & PRF_NONCLIENT) PaintCaption(reinterpret_cast<HDC>(wParam));
        return;
    default:
        break;
    }
    HDC dc = GetWindowDC(FForm.Handle());
    PaintCaption(dc);
    ReleaseDC(FForm.Handle(), dc);
}

void TGradientCaption::PaintBands(HDC dc, const RECT& bar) const {
    const TColor caption = FActive ? clActiveCaption : clInactiveCaption;
    const COLORREF from = ColorToRGB(ContrastColor(FActive ? FActiveStart : FInactiveStart, caption));
    const COLORREF to = ColorToRGB(ContrastColor(FActive ? FActiveEnd : FInactiveEnd, caption));
    const int n = from == to ? 1 : FNumColors;
    const int width = bar.right - bar.left;
    for (int i = 0; i < n; ++i) {
        const RECT band{bar.left + MulDiv(i, width, n), bar.top, bar.left + MulDiv(i + 1, width, n),
                        bar.bottom};
        HBRUSH brush = CreateSolidBrush(GradientColor(from, to, i, n));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

int TGradientCaption::PaintText(HDC dc, const std::string& text, bool bold, RECT area) const {
    if (text.empty() || area.left >= area.right) return area.left;
    HFONT font = CaptionFont(ToolWindow(), bold, FForm.PixelsPerInch());
    HGDIOBJ old = SelectObject(dc, font);
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    RECT measured = area;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measured, flags | DT_CALCRECT);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, flags);
    SelectObject(dc, old);
    DeleteObject(font);
    return std::min(measured.right, area.right);
}

RECT TGradientCaption::CloseBoxRect(const RECT& bar) const {
    const int height = bar.bottom - bar.top + 1; // with the closing line
    if (ToolWindow()) {
        const int side = FForm.Scaled(kCloseBoxSide);
        const int top = bar.top + (height - 1 - side) / 2;
        const int left = bar.right - (height + 1 + side) / 2;
        return RECT{left, top, left + side, top + side};
    }
    const int ppi = FForm.PixelsPerInch();
    return RECT{bar.right - SystemMetricForDpi(SM_CXSIZE, ppi), bar.top + 2, bar.right - 2,
                bar.top + SystemMetricForDpi(SM_CYSIZE, ppi) - 2};
}

void TGradientCaption::PaintCaption(HDC dc) const {
    const RECT bar = CaptionRect();
    if (bar.right <= bar.left || bar.bottom <= bar.top) return;
    TSavedDC saved(dc);
    PaintBands(dc, bar);

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(FForm.Handle(), GWL_STYLE));
    const int indent = FForm.Scaled(kTextIndent);
    int textLeft = bar.left + indent;
    int textRight = bar.right - indent;
    if (style & WS_SYSMENU) {
        RECT close = CloseBoxRect(bar);
        DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        textRight = close.left - indent;
        if (!ToolWindow()) {
            // The window's icon opens the system menu.
            const int side = SystemMetricForDpi(SM_CXSMICON, FForm.PixelsPerInch());
            auto icon = reinterpret_cast<HICON>(SendMessageA(FForm.Handle(), WM_GETICON, ICON_SMALL2, 0));
            if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(FForm.Handle(), GCLP_HICONSM));
            if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(FForm.Handle(), GCLP_HICON));
            const int top = (bar.top + bar.bottom - side) / 2;
            if (icon) DrawIconEx(dc, bar.left + 2, top, icon, side, side, 0, nullptr, DI_NORMAL);
            textLeft = bar.left + 2 + side + indent;
        }
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(FActive ? ContrastColor(FActiveText, clCaptionText)
                                        : ContrastColor(FInactiveText, clInactiveCaptionText)));
    const int boldEnd = PaintText(dc, BoldText(), true, RECT{textLeft, bar.top, textRight, bar.bottom});
    PaintText(dc, PlainText(), false, RECT{boldEnd, bar.top, textRight, bar.bottom});
}

} // namespace yar

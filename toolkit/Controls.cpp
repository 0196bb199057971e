#include "toolkit/Controls.h"

#include "toolkit/Application.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace yar {

namespace {

constexpr const char* kWindowClass = "YarWindow";
constexpr const char* kControlProp = "YarControl";

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

class TPaintScope {
public:
    explicit TPaintScope(HWND wnd) : FWnd(wnd) { DC = BeginPaint(wnd, &PS); }
    ~TPaintScope() { EndPaint(FWnd, &PS); }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;

    PAINTSTRUCT PS{};
    HDC DC = nullptr;

private:
    HWND FWnd;
};

} // namespace

// TControl

TControl::TControl(TWinControl* parent) : FParent(parent) {
    if (FParent) FParent->FControls.push_back(this);
}

TControl::~TControl() {
    if (FParent) std::erase(FParent->FControls, this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    FBounds = RECT{left, top, left + width, top + height};
}

void TControl::SetAlign(TAlign align) {
    FAlign = align;
    if (FParent) FParent->AlignControls();
}

void TControl::SetVisible(bool visible) {
    FVisible = visible;
}

void TControl::SetEnabled(bool enabled) {
    FEnabled = enabled;
    Invalidate();
}

void TControl::SetColor(TColor color) {
    if (color == FColor) return;
    FColor = color;
    Invalidate();
}

void TControl::Invalidate() {}

void TControl::Update() {
    if (FParent) FParent->Update();
}

// TGraphicControl

TGraphicControl::TGraphicControl(TWinControl* parent) : TControl(parent) {}

TGraphicControl::~TGraphicControl() {
    // The area this control covered must be painted again without it.
    TGraphicControl::Invalidate();
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    const RECT old = FBounds;
    if (old.left == left && old.top == top && old.right == left + width && old.bottom == top + height) return;
    Invalidate();
    TControl::SetBounds(left, top, width, height);
    Invalidate();
}

void TGraphicControl::SetVisible(bool visible) {
    if (visible == FVisible) return;
    FVisible = true; // so that Invalidate marks the area in both directions
    Invalidate();
    FVisible = visible;
}

void TGraphicControl::Invalidate() {
    if (FVisible && FParent && FParent->Handle()) InvalidateRect(FParent->Handle(), &FBounds, TRUE);
}

// TWinControl

void TWinControl::RegisterClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        wc.lpszClassName = kWindowClass;
        return RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
}

TWinControl::TWinControl(TWinControl* parent, const TCreateParams& params) : TControl(parent) {
    RegisterClassOnce();
    FOwnClass = params.ClassName == nullptr;
    DWORD style = params.Style;
    HWND parentHandle = params.ParentHandle;
    if (parent) {
        style |= WS_CHILD | WS_CLIPSIBLINGS;
        parentHandle = parent->Handle();
    }
    FVisible = (style & WS_VISIBLE) != 0;
    FBounds = RECT{params.Left, params.Top, params.Left + params.Width, params.Top + params.Height};
    HWND handle = CreateWindowExA(params.ExStyle, FOwnClass ? kWindowClass : params.ClassName,
                                  params.Text.c_str(), style, params.Left, params.Top, params.Width,
                                  params.Height, parentHandle, nullptr, GetModuleHandleA(nullptr), this);
    if (!handle) throw std::runtime_error("Error creating window");
    if (!FOwnClass) {
        FHandle = handle;
        SetPropA(handle, kControlProp, this);
        ApplyFont();
    }
}

TWinControl::~TWinControl() {
    if (FHandle) DestroyWindow(FHandle);
    if (FBrush) DeleteObject(FBrush);
}

TWinControl* TWinControl::FromHandle(HWND handle) {
    return handle ? static_cast<TWinControl*>(GetPropA(handle, kControlProp)) : nullptr;
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->FHandle = hwnd;
        SetPropA(hwnd, kControlProp, self);
    }
    TWinControl* self = FromHandle(hwnd);
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kControlProp);
        self->FHandle = nullptr;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // Exceptions must not unwind through the system's frames: the application reports them here,
    // as it does for every exception that reaches its message loop.
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        Application().HandleException(e);
        return 0;
    }
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(FHandle, msg, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        PaintHandler();
        return 0;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_COMMAND:
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            child->Notify(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ColorToRGB(child->Font().Color()));
            SetBkColor(dc, ColorToRGB(child->Color()));
            return reinterpret_cast<LRESULT>(child->ColorBrush());
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && SetCursorHandler()) return TRUE;
        break;
    case WM_MOVE:
    case WM_SIZE: {
        RECT r;
        GetWindowRect(FHandle, &r);
        if (FParent) MapWindowPoints(HWND_DESKTOP, FParent->Handle(), reinterpret_cast<POINT*>(&r), 2);
        FBounds = r;
        if (msg == WM_SIZE) Resized();
        return 0;
    }
    default:
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

void TWinControl::Resized() {
    AlignControls();
}

void TWinControl::AlignControls() {
    if (!FHandle) return;
    RECT client;
    GetClientRect(FHandle, &client);
    for (TControl* c : FControls)
        if (c->Align() == alClient) c->SetBounds(0, 0, client.right, client.bottom);
}

void TWinControl::PaintHandler() {
    TPaintScope paint(FHandle);
    PaintWindow(paint.DC);
    for (TControl* c : FControls) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible()) continue;
        const RECT r = g->BoundsRect();
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &paint.PS.rcPaint)) continue;
        TSavedDC saved(paint.DC);
        IntersectClipRect(paint.DC, r.left, r.top, r.right, r.bottom);
        SetViewportOrgEx(paint.DC, r.left, r.top, nullptr);
        g->Paint(paint.DC);
    }
}

void TWinControl::EraseBackground(HDC dc) {
    TSavedDC saved(dc);
    // Opaque children paint every pixel of their area themselves: no erasing beneath them.
    for (TControl* c : FControls) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (g && g->Visible() && g->Opaque()) {
            const RECT r = g->BoundsRect();
            ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        }
    }
    RECT client;
    GetClientRect(FHandle, &client);
    FillRect(dc, &client, ColorBrush());
}

TGraphicControl* TWinControl::GraphicControlAt(POINT pt) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        auto* g = dynamic_cast<TGraphicControl*>(*it);
        if (!g || !g->Visible()) continue;
        const RECT r = g->BoundsRect();
        if (PtInRect(&r, pt)) return g;
    }
    return nullptr;
}

bool TWinControl::SetCursorHandler() {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(FHandle, &pt);
    TGraphicControl* g = GraphicControlAt(pt);
    if (!g || !g->Cursor()) return false;
    ::SetCursor(LoadCursorA(nullptr, g->Cursor()));
    return true;
}

HBRUSH TWinControl::ColorBrush() {
    if (FBrush && FBrushColor == FColor) return FBrush;
    if (FBrush) DeleteObject(FBrush);
    FBrush = CreateSolidBrush(ColorToRGB(FColor));
    FBrushColor = FColor;
    return FBrush;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (FHandle) SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetVisible(bool visible) {
    FVisible = visible;
    if (FHandle) ShowWindow(FHandle, visible ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    FEnabled = enabled;
    if (FHandle) EnableWindow(FHandle, enabled);
}

void TWinControl::SetColor(TColor color) {
    if (color == FColor) return;
    FColor = color;
    Invalidate();
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

std::string TWinControl::Text() const {
    const int length = GetWindowTextLengthA(FHandle);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(FHandle, text.data(), length + 1)));
    return text;
}

void TWinControl::SetText(const std::string& text) {
    SetWindowTextA(FHandle, text.c_str());
}

void TWinControl::SetFont(const TFont& font) {
    FFont = font;
    ApplyFont();
}

void TWinControl::ApplyFont() {
    if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
}

int TWinControl::ClientWidth() const {
    RECT r;
    GetClientRect(FHandle, &r);
    return r.right;
}

int TWinControl::ClientHeight() const {
    RECT r;
    GetClientRect(FHandle, &r);
    return r.bottom;
}

} // namespace yar

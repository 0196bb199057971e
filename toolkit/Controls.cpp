#include "toolkit/Controls.h"

#include "toolkit/Application.h"
#include "toolkit/HighContrast.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace yar {

namespace {

constexpr const char* kWindowClass = "YarWindow";
constexpr const char* kControlProp = "YarControl";

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

namespace {

TEdges EdgesOf(const RECT& r) {
    return TEdges{r.left, r.top, r.right, r.bottom};
}

RECT RectOf(const TEdges& e) {
    return RECT{e.Left, e.Top, e.Right, e.Bottom};
}

} // namespace

TControl::TControl(TWinControl* parent, const TBounds& bounds, int ppi)
    : FParent(parent),
      FPixelsPerInch(parent ? parent->FPixelsPerInch : ppi), FBounds{bounds.Left, bounds.Top,
                                                                     bounds.Left + bounds.Width,
                                                                     bounds.Top + bounds.Height} {
    FFont.SetPixelsPerInch(FPixelsPerInch);
    if (!FParent) return;
    FBounds = RectOf(ScaleEdges(EdgesOf(FBounds), FPixelsPerInch));
    FColor = FParent->Color();
    FFont = FParent->Font();
    FParent->FControls.push_back(this);
}

void TControl::ChangeScale(int ppi) {
    if (ppi == FPixelsPerInch) return;
    const int old = FPixelsPerInch;
    FPixelsPerInch = ppi;
    FFont.SetPixelsPerInch(ppi);
    // A form is placed by whoever changes its resolution (the system suggests the rectangle).
    if (FParent) {
        const TEdges e = ScaleEdges(EdgesOf(FBounds), ppi, old);
        SetBounds(e.Left, e.Top, e.Right - e.Left, e.Bottom - e.Top);
    }
    FontChanged();
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

void TControl::SetFont(const TFont& font) {
    FFont = font;
    FFont.SetPixelsPerInch(FPixelsPerInch);
    FontChanged();
}

TAccessibleFacts TControl::AccessibleFacts() const {
    TAccessibleFacts facts;
    facts.Name = FAccessibleName;
    if (facts.Name.empty() && FAccessibleLabel) facts.Name = FAccessibleLabel->AccessibleFacts().Name;
    return facts;
}

void TControl::Invalidate() {}

void TControl::Update() {
    if (FParent) FParent->Update();
}

// TGraphicControl

TGraphicControl::TGraphicControl(TWinControl* parent, const TBounds& bounds) : TControl(parent, bounds) {
    // A control added to a window already painted must show.
    TGraphicControl::Invalidate();
}

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

TWinControl::TWinControl(TWinControl* parent, const TCreateParams& params)
    : TControl(parent, params.Bounds, params.PixelsPerInch) {
    RegisterClassOnce();
    FOwnClass = params.ClassName == nullptr;
    DWORD style = params.Style;
    HWND parentHandle = params.ParentHandle;
    HMENU id = nullptr; // a child window's id travels in the menu argument
    if (parent) {
        style |= WS_CHILD | WS_CLIPSIBLINGS;
        parentHandle = parent->Handle();
        FControlId = parent->FNextChildId++;
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(FControlId));
    }
    FVisible = (style & WS_VISIBLE) != 0;
    HWND handle = CreateWindowExA(params.ExStyle, FOwnClass ? kWindowClass : params.ClassName,
                                  params.Text.c_str(), style, Left(), Top(), Width(), Height(), parentHandle,
                                  id, GetModuleHandleA(nullptr), this);
    if (!handle) throw std::runtime_error("Error creating window");
    if (!FOwnClass) {
        FHandle = handle;
        SetPropA(handle, kControlProp, this);
        HookSystemWindow(handle);
    }
    TWinControl::FontChanged();
}

TWinControl::TWinControl(TWinControl* parent, const TBounds& bounds, const char* className, DWORD style,
                         DWORD exStyle)
    : TWinControl(parent, TCreateParams{className, style, exStyle, "", bounds, nullptr}) {}

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

void TWinControl::HookSystemWindow(HWND hwnd) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::SystemWndProc));
}

// The class's own procedure comes next: this one is the first over it, set as the window was made.
LRESULT CALLBACK TWinControl::SystemWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETOBJECT && FromHandle(hwnd))
        if (const LRESULT object = AnswerGetObject(hwnd, wParam, lParam, AccessibleSourceOf)) return object;
    const auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    return CallWindowProcA(classProc, hwnd, msg, wParam, lParam);
}

std::vector<TAccessibleElement> TWinControl::AccessibleElements() const {
    std::vector<TAccessibleElement> elements;
    for (const TControl* c : FControls) {
        if (!dynamic_cast<const TGraphicControl*>(c) || !c->Visible()) continue;
        TAccessibleFacts facts = c->AccessibleFacts();
        if (facts.Role != 0) elements.push_back({std::move(facts), c->BoundsRect()});
    }
    return elements;
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(FHandle, msg, wParam, lParam);
}

namespace {

// The child window a message to a parent names, else its control id (WM_MEASUREITEM names no
// window); neither when the message is about no child window.
struct TChildRef {
    HWND Window = nullptr;
    UINT Id = 0;
};

TChildRef ChildNamedBy(UINT msg, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY:
        return TChildRef{reinterpret_cast<const NMHDR*>(lParam)->hwndFrom};
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? TChildRef{} : TChildRef{item->hwndItem};
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? TChildRef{} : TChildRef{nullptr, item->CtlID};
    }
    case WM_COMPAREITEM:
        return TChildRef{reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem};
    case WM_DELETEITEM:
        return TChildRef{reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem};
    case WM_COMMAND: // lParam is zero for menus and accelerators
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL: // lParam is zero for the window's own scroll bars
    case WM_VSCROLL:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return TChildRef{reinterpret_cast<HWND>(lParam)};
    default:
        return {};
    }
}

} // namespace

TWinControl* TWinControl::MessageTarget(UINT msg, LPARAM lParam) const {
    const TChildRef ref = ChildNamedBy(msg, lParam);
    if (ref.Window) {
        TWinControl* child = FromHandle(ref.Window);
        return child && child->FParent == this ? child : nullptr;
    }
    if (ref.Id == 0) return nullptr;
    // Only a child whose window is made: one still inside CreateWindowEx is not yet its derived self.
    for (TControl* c : FControls) {
        auto* child = dynamic_cast<TWinControl*>(c);
        if (child && child->FHandle && static_cast<UINT>(child->FControlId) == ref.Id) return child;
    }
    return nullptr;
}

bool TWinControl::ParentMessage(UINT msg, WPARAM wParam, LPARAM /*lParam*/, LRESULT& result) {
    if (msg < WM_CTLCOLORMSGBOX || msg > WM_CTLCOLORSTATIC) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, ColorToRGB(ContrastColor(Font().Color(), clWindowText)));
    SetBkColor(dc, ColorToRGB(ContrastColor(Color(), clWindow)));
    result = reinterpret_cast<LRESULT>(ColorBrush());
    return true;
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        // The dialog manager runs on the form: Enter on a focused button sends the button's click to
        // the form, not to the button's own parent.
        const TWinControl* control = FromHandle(reinterpret_cast<HWND>(lParam));
        const TWinControl* parent = control ? control->FParent : nullptr;
        if (parent && parent != this && parent->FHandle && IsChild(FHandle, parent->FHandle))
            return SendMessageA(parent->FHandle, msg, wParam, lParam);
    }
    if (TWinControl* child = MessageTarget(msg, lParam)) {
        LRESULT result = 0;
        if (child->ParentMessage(msg, wParam, lParam, result)) return result;
    }
    switch (msg) {
    case WM_PAINT:
        PaintHandler();
        return 0;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && SetCursorHandler()) return TRUE;
        break;
    case WM_GETOBJECT:
        if (const LRESULT object = AnswerGetObject(FHandle, wParam, lParam, AccessibleSourceOf))
            return object;
        break;
    case WM_GETFONT: // as the system's controls answer: what measures the text from outside asks for it
        if (FOwnClass) return reinterpret_cast<LRESULT>(FFont.Handle());
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
    // By the colour's value: a system colour changes with the theme.
    const COLORREF color = ColorToRGB(ContrastColor(FColor, clWindow));
    if (FBrush && FBrushColor == color) return FBrush;
    if (FBrush) DeleteObject(FBrush);
    FBrush = CreateSolidBrush(color);
    FBrushColor = color;
    return FBrush;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (FHandle) SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::ChangeScale(int ppi) {
    if (ppi == FPixelsPerInch) return;
    for (TControl* c : std::vector<TControl*>(FControls)) c->ChangeScale(ppi);
    TControl::ChangeScale(ppi);
    Invalidate();
}

void TWinControl::SetVisible(bool visible) {
    FVisible = visible;
    if (FHandle) ShowWindow(FHandle, visible ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    FEnabled = enabled;
    if (FHandle) EnableWindow(FHandle, enabled);
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

void TWinControl::RecreateWindow(DWORD style, DWORD exStyle) {
    if (FOwnClass || !FHandle || !FParent)
        throw std::logic_error("Only child windows of system classes are remade");
    HWND old = FHandle;
    char className[64] = {};
    GetClassNameA(old, className, sizeof className);
    const std::string text = TWinControl::Text();
    const HWND previous = GetWindow(old, GW_HWNDPREV);
    const bool focused = GetFocus() == old;
    style = (style & ~(WS_VISIBLE | WS_DISABLED)) | WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible) style |= WS_VISIBLE;
    if (!FEnabled) style |= WS_DISABLED;
    HWND handle = CreateWindowExA(
        exStyle, className, text.c_str(), style, Left(), Top(), Width(), Height(), FParent->Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(FControlId)), GetModuleHandleA(nullptr), nullptr);
    if (!handle) throw std::runtime_error("Error creating window");
    RemovePropA(old, kControlProp);
    FHandle = handle;
    SetPropA(handle, kControlProp, this);
    HookSystemWindow(handle);
    SetWindowPos(handle, previous ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(old);
    FontChanged();
    if (focused) SetFocus(handle);
}

void TWinControl::FontChanged() {
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

#include "toolkit/StdCtrls.h"

#include "toolkit/FileContents.h"
#include "toolkit/Forms.h"
#include "toolkit/HighContrast.h"

#include <algorithm>
#include <stdexcept>

namespace yar {

// TLabel

TLabel::TLabel(TWinControl* parent, const TBounds& bounds) : TGraphicControl(parent, bounds) {}

TAccessibleFacts TLabel::AccessibleFacts() const {
    TAccessibleFacts facts = TGraphicControl::AccessibleFacts();
    if (facts.Name.empty()) facts.Name = AccessibleText(FCaption);
    // An empty label has nothing to say.
    if (facts.Name.empty()) return facts;
    facts.Role = ROLE_SYSTEM_STATICTEXT;
    facts.State = STATE_SYSTEM_READONLY;
    return facts;
}

void TLabel::SetCaption(const std::string& caption) {
    if (caption == FCaption) return;
    FCaption = caption;
    AdjustBounds();
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    FTransparent = transparent;
    Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
    FAlignment = alignment;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    FAutoSize = autoSize;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool wordWrap) {
    FWordWrap = wordWrap;
    AdjustBounds();
    Invalidate();
}

UINT TLabel::DrawTextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    return flags;
}

SIZE TLabel::TextExtent() const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    RECT r{0, 0, FWordWrap ? Width() : 0, 0};
    // An empty caption still has the height of one line.
    const std::string text = FCaption.empty() ? std::string(" ") : FCaption;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DrawTextFlags() | DT_CALCRECT);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void TLabel::AdjustBounds() {
    if (!FAutoSize) return;
    const SIZE size = AutoSizeExtent();
    SetBounds(Left(), Top(), FWordWrap ? Width() : size.cx, size.cy);
}

void TLabel::DrawCaption(HDC dc, RECT rect, TColor color) const {
    SetTextColor(dc, ColorToRGB(color));
    DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &rect, DrawTextFlags());
}

TColor TLabel::TextColor() const {
    return Enabled() ? ContrastColor(FFont.Color(), clWindowText) : ContrastColor(clGray, clGrayText);
}

void TLabel::Paint(HDC dc) {
    if (!FTransparent) {
        const RECT rect{0, 0, Width(), Height()};
        HBRUSH brush = CreateSolidBrush(ColorToRGB(ContrastColor(Color(), clWindow)));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, Font().Handle());
    PaintText(dc);
}

void TLabel::PaintText(HDC dc) {
    DrawCaption(dc, RECT{0, 0, Width(), Height()}, TextColor());
}

// TShadowLabel

TShadowLabel::TShadowLabel(TWinControl* parent, const TBounds& bounds) : TLabel(parent, bounds) {}

void TShadowLabel::SetShadowColor(TColor color) {
    FShadowColor = color;
    Invalidate();
}

void TShadowLabel::SetShadowSize(int size) {
    FShadowSize = std::max(size, 0);
    AdjustBounds();
    Invalidate();
}

void TShadowLabel::SetShadowPos(TShadowPosition pos) {
    FShadowPos = pos;
    Invalidate();
}

SIZE TShadowLabel::AutoSizeExtent() const {
    const SIZE text = TextExtent();
    return SIZE{text.cx + Scaled(FShadowSize), text.cy + Scaled(FShadowSize)};
}

RECT TShadowLabel::TextRect() const {
    const int s = Scaled(FShadowSize);
    // The text keeps to the side the shadow does not fall on.
    const int dx = (FShadowPos == spLeftTop || FShadowPos == spLeftBottom) ? s : 0;
    const int dy = (FShadowPos == spLeftTop || FShadowPos == spRightTop) ? s : 0;
    return RECT{dx, dy, Width() - s + dx, Height() - s + dy};
}

RECT TShadowLabel::ShadowRect() const {
    const int s = Scaled(FShadowSize);
    const RECT text = TextRect();
    const int dx = (FShadowPos == spLeftTop || FShadowPos == spLeftBottom) ? -s : s;
    const int dy = (FShadowPos == spLeftTop || FShadowPos == spRightTop) ? -s : s;
    return RECT{text.left + dx, text.top + dy, text.right + dx, text.bottom + dy};
}

void TShadowLabel::PaintText(HDC dc) {
    // A shadow in the theme's colours would only blur the text.
    if (!HighContrastOn()) DrawCaption(dc, ShadowRect(), FShadowColor);
    DrawCaption(dc, TextRect(), TextColor());
}

// Lines

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// TButton

TButton::TButton(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY) {}

TButton::~TButton() {
    if (TForm* form = ParentForm(this)) {
        if (form->DefaultButton() == this) form->SetDefaultButton(nullptr);
        if (form->CancelButton() == this) form->SetCancelButton(nullptr);
    }
}

TButton* TButton::FormDefault() const {
    const TForm* form = ParentForm(Parent());
    return form ? dynamic_cast<TButton*>(form->DefaultButton()) : nullptr;
}

bool TButton::Default() const {
    return FormDefault() == this;
}

void TButton::SetDefault(bool isDefault) {
    TForm* form = ParentForm(this);
    if (!form || isDefault == Default()) return;
    if (TButton* old = FormDefault()) old->ShowAsDefault(false);
    form->SetDefaultButton(isDefault ? this : nullptr);
    ShowAsDefault(isDefault);
}

// The system's standard object for a button knows this much on Windows; the roles are given here for
// every system, Wine's among them, whose standard object tells a button only as a window's client area.
TAccessibleFacts TButton::AccessibleFacts() const {
    TAccessibleFacts facts = TWinControl::AccessibleFacts();
    facts.Role = ROLE_SYSTEM_PUSHBUTTON;
    if (Default()) facts.State = STATE_SYSTEM_DEFAULT;
    return facts;
}

bool TButton::Cancel() const {
    const TForm* form = ParentForm(Parent());
    return form && form->CancelButton() == this;
}

void TButton::SetCancel(bool isCancel) {
    TForm* form = ParentForm(this);
    if (!form) return;
    if (isCancel)
        form->SetCancelButton(this);
    else if (Cancel())
        form->SetCancelButton(nullptr);
}

void TButton::ShowAsDefault(bool isDefault) const {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE));
    const DWORD type = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    SendMessageA(Handle(), BM_SETSTYLE, (style & 0xFFFF & ~BS_TYPEMASK) | type, TRUE);
}

bool TButton::ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_COMMAND) return TWinControl::ParentMessage(msg, wParam, lParam, result);
    TButton* formDefault = FormDefault();
    switch (HIWORD(wParam)) {
    case BN_CLICKED:
        if (OnClick) OnClick();
        break;
    case BN_SETFOCUS:
        // The focused button takes Enter and the thick frame from the default button.
        if (formDefault && formDefault != this) formDefault->ShowAsDefault(false);
        ShowAsDefault(true);
        break;
    case BN_KILLFOCUS:
        if (formDefault != this) ShowAsDefault(false);
        if (formDefault) formDefault->ShowAsDefault(true);
        break;
    default:
        break;
    }
    return true;
}

// TCheckButton

TCheckButton::TCheckButton(TWinControl* parent, const TBounds& bounds, DWORD style)
    : TWinControl(parent, bounds, "BUTTON", WS_VISIBLE | WS_TABSTOP | style) {}

TAccessibleFacts TCheckButton::AccessibleFacts() const {
    TAccessibleFacts facts = TWinControl::AccessibleFacts();
    const auto type = static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)) & BS_TYPEMASK;
    facts.Role = type == BS_RADIOBUTTON ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
    if (FChecked) facts.State = STATE_SYSTEM_CHECKED;
    return facts;
}

void TCheckButton::SetChecked(bool checked) {
    if (checked == FChecked) return;
    FChecked = checked;
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    CheckChanged();
}

bool TCheckButton::ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return TWinControl::ParentMessage(msg, wParam, lParam, result);
    SetChecked(CheckedAfterClick());
    if (OnClick) OnClick();
    return true;
}

// TCheckBox

TCheckBox::TCheckBox(TWinControl* parent, const TBounds& bounds)
    : TCheckButton(parent, bounds, BS_CHECKBOX) {}

// TRadioButton

TRadioButton::TRadioButton(TWinControl* parent, const TBounds& bounds)
    : TCheckButton(parent, bounds, BS_RADIOBUTTON) {}

void TRadioButton::CheckChanged() {
    if (!Checked() || !Parent()) return;
    for (TControl* sibling : Parent()->Controls()) {
        auto* radio = dynamic_cast<TRadioButton*>(sibling);
        if (radio && radio != this) radio->SetChecked(false);
    }
}

// TCustomEdit

TCustomEdit::TCustomEdit(TWinControl* parent, const TBounds& bounds, DWORD style)
    : TWinControl(parent, bounds, "EDIT", WS_VISIBLE | WS_TABSTOP | style, WS_EX_CLIENTEDGE) {
    FColor = clWindow;
}

bool TCustomEdit::ReadOnly() const {
    return (GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_READONLY) != 0;
}

void TCustomEdit::SetReadOnly(bool readOnly) {
    SendMessageA(Handle(), EM_SETREADONLY, readOnly, 0);
}

void TCustomEdit::SetText(const std::string& text) {
    TWinControl::SetText(text);
    // A multi-line edit does not report text that is set, only text that is typed.
    if ((GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE) && OnChange) OnChange();
}

bool TCustomEdit::ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_COMMAND) return TWinControl::ParentMessage(msg, wParam, lParam, result);
    if (HIWORD(wParam) == EN_CHANGE && OnChange) OnChange();
    return true;
}

// TEdit

TEdit::TEdit(TWinControl* parent, const TBounds& bounds) : TCustomEdit(parent, bounds, ES_AUTOHSCROLL) {}

// TMemo

TMemo::TMemo(TWinControl* parent, const TBounds& bounds)
    : TCustomEdit(parent, bounds, ES_MULTILINE | ES_AUTOVSCROLL) {
    TakeAnyLength();
    TakeFormKeys();
}

// The toolkit's procedure is the one replaced, so the window needs nothing of this object.
LRESULT CALLBACK TMemo::MemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = SystemWndProc(hwnd, msg, wParam, lParam);
    if (msg == WM_GETDLGCODE && !(GetWindowLongPtrA(hwnd, GWL_STYLE) & ES_WANTRETURN))
        result &= ~DLGC_WANTALLKEYS;
    return result;
}

void TMemo::TakeFormKeys() {
    SetWindowLongPtrA(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TMemo::MemoProc));
}

void TMemo::TakeAnyLength() {
    // The system's default limit of 32 KB would cut a long licence short.
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void TMemo::AddLine(const std::string& line) {
    std::vector<std::string> lines = Lines();
    lines.push_back(line);
    SetLines(lines);
}

void TMemo::LoadFromFile(const std::string& path) {
    SetLines(SplitLines(ReadFileContents(path)));
}

DWORD TMemo::ScrollStyle(TScrollStyle scrollBars) {
    switch (scrollBars) {
    case ssHorizontal:
        return WS_HSCROLL | ES_AUTOHSCROLL;
    case ssVertical:
        return WS_VSCROLL;
    case ssBoth:
        return WS_HSCROLL | ES_AUTOHSCROLL | WS_VSCROLL;
    case ssNone:
    default:
        return 0;
    }
}

void TMemo::SetScrollBars(TScrollStyle scrollBars) {
    if (scrollBars == FScrollBars) return;
    // An edit reads its scroll bars and its wrapping only when it is made.
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE));
    RecreateWindow((style & ~ScrollStyle(ssBoth)) | ScrollStyle(scrollBars), exStyle);
    FScrollBars = scrollBars;
    TakeAnyLength();
    TakeFormKeys();
}

// TGroupBox

TGroupBox::TGroupBox(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, nullptr, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT) {}

TAccessibleFacts TGroupBox::AccessibleFacts() const {
    TAccessibleFacts facts = TWinControl::AccessibleFacts();
    if (facts.Name.empty()) facts.Name = AccessibleText(Caption());
    facts.Role = ROLE_SYSTEM_GROUPING;
    return facts;
}

void TGroupBox::SetCaption(const std::string& caption) {
    SetText(caption);
    Invalidate();
}

void TGroupBox::PaintWindow(HDC dc) {
    SelectObject(dc, Font().Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    // The frame runs through the middle of the caption's line.
    RECT frame{0, metrics.tmHeight / 2, ClientWidth(), ClientHeight()};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::string caption = Caption();
    if (caption.empty()) return;
    RECT text{8, 0, 0, metrics.tmHeight};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_CALCRECT);
    text.right += 2;
    HBRUSH brush = ColorBrush();
    FillRect(dc, &text, brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font().Color() : clGrayText));
    OffsetRect(&text, 1, 0);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE);
}

} // namespace yar

#include "toolkit/StdCtrls.h"

#include <algorithm>

namespace yar {

// TLabel

TLabel::TLabel(TWinControl* parent, const TBounds& bounds) : TGraphicControl(parent, bounds) {}

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

void TLabel::Paint(HDC dc) {
    if (!FTransparent) {
        const RECT rect{0, 0, Width(), Height()};
        HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
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
    return SIZE{text.cx + FShadowSize, text.cy + FShadowSize};
}

RECT TShadowLabel::TextRect() const {
    const int s = FShadowSize;
    // The text keeps to the side the shadow does not fall on.
    const int dx = (FShadowPos == spLeftTop || FShadowPos == spLeftBottom) ? s : 0;
    const int dy = (FShadowPos == spLeftTop || FShadowPos == spRightTop) ? s : 0;
    return RECT{dx, dy, Width() - s + dx, Height() - s + dy};
}

RECT TShadowLabel::ShadowRect() const {
    const int s = FShadowSize;
    const RECT text = TextRect();
    const int dx = (FShadowPos == spLeftTop || FShadowPos == spLeftBottom) ? -s : s;
    const int dy = (FShadowPos == spLeftTop || FShadowPos == spRightTop) ? -s : s;
    return RECT{text.left + dx, text.top + dy, text.right + dx, text.bottom + dy};
}

void TShadowLabel::PaintText(HDC dc) {
    DrawCaption(dc, ShadowRect(), FShadowColor);
    DrawCaption(dc, TextRect(), TextColor());
}

// TRadioButton

TRadioButton::TRadioButton(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON) {}

void TRadioButton::SetChecked(bool checked) {
    if (checked == FChecked) return;
    FChecked = checked;
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!checked || !Parent()) return;
    for (TControl* sibling : Parent()->Controls()) {
        auto* radio = dynamic_cast<TRadioButton*>(sibling);
        if (radio && radio != this) radio->SetChecked(false);
    }
}

bool TRadioButton::ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return TWinControl::ParentMessage(msg, wParam, lParam, result);
    SetChecked(true);
    if (OnClick) OnClick();
    return true;
}

} // namespace yar

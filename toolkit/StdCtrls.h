// Labels (plain and with a shadow) and radio buttons.
#pragma once

#include "toolkit/Controls.h"

#include <string>

namespace yar {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A windowless text label; with AutoSize it takes the size of its text whenever text or font change.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TWinControl* parent, const TBounds& bounds = {});

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);

    void Paint(HDC dc) override;
    bool Opaque() const override { return !FTransparent; }

protected:
    void FontChanged() override;
    // The size of the caption in the label's font: the width of its longest line (or the wrapping
    // width) and the height of all lines.
    SIZE TextExtent() const;
    // Size the text needs, plus whatever a derived label draws around it.
    virtual SIZE AutoSizeExtent() const { return TextExtent(); }
    void AdjustBounds();
    UINT DrawTextFlags() const;
    void DrawCaption(HDC dc, RECT rect, TColor color) const;
    // Draws the caption once the surface is prepared (font selected, transparent text background).
    virtual void PaintText(HDC dc);
    TColor TextColor() const { return Enabled() ? FFont.Color() : clGray; }

private:
    std::string FCaption;
    bool FTransparent = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
};

// Where the shadow falls, seen from the text.
enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// A label whose text is drawn twice: first in the shadow colour, offset by the shadow size in the
// shadow's direction, then in the font colour on top. The label grows by the shadow size.
class TShadowLabel : public TLabel {
public:
    explicit TShadowLabel(TWinControl* parent, const TBounds& bounds = {});

    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor color);
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(int size);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition pos);

    // Where text and shadow are drawn inside the label.
    RECT TextRect() const;
    RECT ShadowRect() const;

protected:
    SIZE AutoSizeExtent() const override;
    void PaintText(HDC dc) override;

private:
    TColor FShadowColor = clWhite;
    int FShadowSize = 1;
    TShadowPosition FShadowPos = spRightBottom;
};

// A radio button; the radio buttons with the same parent form one group, so checking one clears
// the others.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TWinControl* parent, const TBounds& bounds = {0, 0, 113, 17});

    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }

    // A click of the user, after the button has been checked.
    TNotifyEvent OnClick;

protected:
    bool ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool FChecked = false;
};

} // namespace yar

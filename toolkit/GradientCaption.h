// The caption bar of a small window painted as a colour gradient.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

namespace yar {

// Paints the caption bar of a form over the system's: colour bands from the start colour on the
// left to the end colour on the right (one colour for fewer than two bands), the application's
// title in bold followed by " - " and the form's caption, and the close box when the form has one.
// The active colours show while the form is active, the inactive ones otherwise. Band i of n has
// GradientColor(start, end, i, n) and covers MulDiv(i, w, n) to MulDiv(i + 1, w, n) of the bar's
// width w. In high contrast the theme's caption colours replace fixed ones. Attached for as long as it
// lives.
class TGradientCaption : private TNonClientHook {
public:
    explicit TGradientCaption(TForm& form);
    ~TGradientCaption();
    TGradientCaption(const TGradientCaption&) = delete;
    TGradientCaption& operator=(const TGradientCaption&) = delete;

    TColor ActiveStartColor() const { return FActiveStart; }
    void SetActiveStartColor(TColor color) { Change(FActiveStart, color); }
    TColor ActiveEndColor() const { return FActiveEnd; }
    void SetActiveEndColor(TColor color) { Change(FActiveEnd, color); }
    TColor ActiveTextColor() const { return FActiveText; }
    void SetActiveTextColor(TColor color) { Change(FActiveText, color); }
    TColor InactiveStartColor() const { return FInactiveStart; }
    void SetInactiveStartColor(TColor color) { Change(FInactiveStart, color); }
    TColor InactiveEndColor() const { return FInactiveEnd; }
    void SetInactiveEndColor(TColor color) { Change(FInactiveEnd, color); }
    TColor InactiveTextColor() const { return FInactiveText; }
    void SetInactiveTextColor(TColor color) { Change(FInactiveText, color); }
    // 1 to 255; other values are brought into that range.
    int NumColors() const { return FNumColors; }
    void SetNumColors(int count);

    // Whether the bar shows the active colours.
    bool FormActive() const { return FActive; }
    // The bar in the window's coordinates (from its top-left corner), between the frame's sides
    // and above the line that closes it at the bottom.
    RECT CaptionRect() const;
    // The text the bar shows in bold, and the rest.
    std::string BoldText() const;
    std::string PlainText() const;

private:
    void NonClientPainted(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Change(TColor& field, TColor color);
    void Repaint() const;
    void PaintCaption(HDC dc) const;
    void PaintBands(HDC dc, const RECT& bar) const;
    // Draws the text from left, no further than right; returns where it ended.
    int PaintText(HDC dc, const std::string& text, bool bold, RECT area) const;
    RECT CloseBoxRect(const RECT& bar) const;
    bool ToolWindow() const;

    TForm& FForm;
    TColor FActiveStart = clNavy;
    TColor FActiveEnd = clBlue;
    TColor FActiveText = clWhite;
    TColor FInactiveStart = clGray;
    TColor FInactiveEnd = clSilver;
    TColor FInactiveText = clSilver;
    int FNumColors = 64;
    bool FActive = false;
};

} // namespace yar

#include "toolkit/Gauges.h"

#include "toolkit/HighContrast.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace yar {

namespace {

void Fill(HDC dc, const RECT& r, TColor color) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// Scales part of whole to the length (64 bits: no overflow), rounding down.
int Scale(int part, int whole, int length) {
    if (whole <= 0) return 0;
    return static_cast<int>(static_cast<int64_t>(part) * length / whole);
}

} // namespace

TGauge::TGauge(TWinControl* parent, const TBounds& bounds) : TGraphicControl(parent, bounds) {}

TAccessibleFacts TGauge::AccessibleFacts() const {
    TAccessibleFacts facts = TGraphicControl::AccessibleFacts();
    facts.Role = ROLE_SYSTEM_PROGRESSBAR;
    facts.State = STATE_SYSTEM_READONLY;
    facts.Value = PercentText();
    return facts;
}

void TGauge::SetRange(int minValue, int maxValue) {
    if (minValue > maxValue) throw std::invalid_argument("Gauge minimum above its maximum");
    FMinValue = minValue;
    FMaxValue = maxValue;
    FProgress = std::clamp(FProgress, FMinValue, FMaxValue);
    Invalidate();
}

void TGauge::SetProgress(int progress) {
    progress = std::clamp(progress, FMinValue, FMaxValue);
    if (progress == FProgress) return;
    FProgress = progress;
    Invalidate();
}

int TGauge::PercentDone() const {
    return Scale(FProgress - FMinValue, FMaxValue - FMinValue, 100);
}

int TGauge::DoneWidth() const {
    return Scale(FProgress - FMinValue, FMaxValue - FMinValue, Width());
}

void TGauge::SetForeColor(TColor color) {
    FForeColor = color;
    Invalidate();
}

void TGauge::SetShowText(bool show) {
    FShowText = show;
    Invalidate();
}

void TGauge::Paint(HDC dc) {
    const RECT all{0, 0, Width(), Height()};
    const RECT done{0, 0, DoneWidth(), Height()};
    const RECT rest{done.right, 0, Width(), Height()};
    // In high contrast the theme's selection colours: the text on each part in the colour meant for it.
    const bool contrast = HighContrastOn();
    const TColor doneColor = contrast ? clHighlight : FForeColor;
    const TColor restColor = contrast ? clWindow : Color();
    const TColor doneText = contrast ? clHighlightText : Color();
    const TColor restText = contrast ? clWindowText : FForeColor;
    Fill(dc, done, doneColor);
    Fill(dc, rest, restColor);
    if (!FShowText) return;
    const std::string text = PercentText();
    SelectObject(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    // Once over each part, clipped to it, in the other part's colour.
    for (const auto& [part, color] : {std::pair{done, doneText}, std::pair{rest, restText}}) {
        TSavedDC saved(dc);
        IntersectClipRect(dc, part.left, part.top, part.right, part.bottom);
        SetTextColor(dc, ColorToRGB(color));
        RECT r = all;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

} // namespace yar

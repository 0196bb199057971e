// A bar gauge that shows how much of a task is done, with its percentage drawn on the bar.
#pragma once

#include "toolkit/Controls.h"

#include <string>

namespace yar {

// A windowless horizontal bar: the part done in ForeColor from the left, the rest in the control's
// colour, and the percentage done centred on top, drawn in the colour of the other part wherever
// it stands, so that it shows on both; in high contrast the theme's selection and window colours
// instead. Progress stays within MinValue..MaxValue.
class TGauge : public TGraphicControl {
public:
    explicit TGauge(TWinControl* parent, const TBounds& bounds = {0, 0, 100, 100});

    int MinValue() const { return FMinValue; }
    int MaxValue() const { return FMaxValue; }
    // Throws std::invalid_argument when min is above max.
    void SetRange(int minValue, int maxValue);
    void SetMinValue(int minValue) { SetRange(minValue, FMaxValue); }
    void SetMaxValue(int maxValue) { SetRange(FMinValue, maxValue); }

    int Progress() const { return FProgress; }
    void SetProgress(int progress);
    void AddProgress(int amount) { SetProgress(FProgress + amount); }
    // Whole percent done, rounded down; 0 for an empty range.
    int PercentDone() const;

    TColor ForeColor() const { return FForeColor; }
    void SetForeColor(TColor color);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool show);
    // What the gauge draws on the bar.
    std::string PercentText() const { return std::to_string(PercentDone()) + "%"; }

    void Paint(HDC dc) override;
    bool Opaque() const override { return true; }
    // A progress bar whose value is the percentage drawn on it.
    TAccessibleFacts AccessibleFacts() const override;

private:
    // Pixels of the bar's width that are done.
    int DoneWidth() const;

    int FMinValue = 0;
    int FMaxValue = 100;
    int FProgress = 0;
    TColor FForeColor = clHighlight;
    bool FShowText = true;
};

} // namespace yar

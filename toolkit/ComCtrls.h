// Controls of the system's common controls library: the progress bar.
#pragma once

#include "toolkit/Controls.h"

namespace yar {

// Registers the common controls' window classes that the ICC_ flags name; a class of the library
// exists only once registered. Throws when the library refuses.
void UseCommonControls(DWORD classes);

// The system's progress bar. Its range and position are the window's own; a position outside the
// range is brought into it.
class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TWinControl* parent, const TBounds& bounds = {0, 0, 150, 16});

    int Min() const;
    int Max() const;
    void SetRange(int min, int max);
    void SetMin(int min) { SetRange(min, Max()); }
    void SetMax(int max) { SetRange(Min(), max); }

    int Position() const;
    void SetPosition(int position);

    // A progress bar whose value is the percentage done.
    TAccessibleFacts AccessibleFacts() const override;

    int Step() const { return FStep; }
    void SetStep(int step);
    // Advances by Step and stops at Max (where the system's own step would start again at Min).
    void StepIt() { SetPosition(Position() + FStep); }

private:
    int FStep = 10;
};

} // namespace yar

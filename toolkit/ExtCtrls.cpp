#include "toolkit/ExtCtrls.h"

namespace yar {

// TPanel

TPanel::TPanel(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, nullptr, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT) {}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    FBevelOuter = bevel;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
    FBevelInner = bevel;
    Invalidate();
}

void TPanel::PaintWindow(HDC dc) {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    // One pixel per bevel, the outer one first.
    for (TBevelCut bevel : {FBevelOuter, FBevelInner}) {
        if (bevel == bvNone) continue;
        DrawEdge(dc, &r, bevel == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
}

// TTimer: a message-only window receives the system's timer messages.

class TTimer::TTimerWindow : public TWinControl {
public:
    explicit TTimerWindow(TTimer& owner)
        : TWinControl(nullptr, TCreateParams{nullptr, 0, 0, "", TBounds{}, HWND_MESSAGE}), FOwner(owner) {}

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER) {
            if (FOwner.OnTimer) FOwner.OnTimer();
            return 0;
        }
        return TWinControl::WndProc(msg, wParam, lParam);
    }

private:
    TTimer& FOwner;
};

TTimer::TTimer() : FWindow(std::make_unique<TTimerWindow>(*this)) {}

TTimer::~TTimer() {
    KillTimer(FWindow->Handle(), 1);
}

void TTimer::SetInterval(unsigned interval) {
    if (interval == FInterval) return;
    FInterval = interval;
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    KillTimer(FWindow->Handle(), 1);
    if (FEnabled && FInterval > 0) SetTimer(FWindow->Handle(), 1, FInterval, nullptr);
}

} // namespace yar

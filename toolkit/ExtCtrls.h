// Panels and timers.
#pragma once

#include "toolkit/Controls.h"

#include <memory>

namespace yar {

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A child window that groups controls, framed by an outer and an inner bevel.
class TPanel : public TWinControl {
public:
    explicit TPanel(TWinControl* parent, const TBounds& bounds = {0, 0, 185, 41});

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut bevel);

protected:
    void PaintWindow(HDC dc) override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
};

// Raises OnTimer every Interval milliseconds while enabled.
class TTimer {
public:
    TTimer();
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned interval);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;

private:
    class TTimerWindow;
    void UpdateTimer();

    std::unique_ptr<TTimerWindow> FWindow;
    unsigned FInterval = 1000;
    bool FEnabled = false;
};

} // namespace yar

// Panels, notebooks with their pages, and timers.
#pragma once

#include "toolkit/Controls.h"

#include <memory>
#include <vector>

namespace yar {

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A child window that groups controls, framed by an outer and an inner bevel, optionally inside a
// single line.
class TPanel : public TWinControl {
public:
    explicit TPanel(TWinControl* parent, const TBounds& bounds = {0, 0, 185, 41});

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut bevel);
    // A one-pixel line around the panel, outside the bevels.
    bool SingleBorder() const;
    void SetSingleBorder(bool single);

protected:
    void PaintWindow(HDC dc) override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
};

class TNotebook;

// One page of a notebook: a window filling the notebook that holds the page's controls, shown only
// while it is the notebook's active page. Its radio buttons form a group of their own.
class TPage : public TWinControl {
public:
    // Pages are in the order they are made in.
    explicit TPage(TNotebook* notebook);
    ~TPage() override;

    TNotebook& Notebook() const { return FNotebook; }
    int PageIndex() const;

private:
    static TCreateParams MakeParams(const TNotebook* notebook);

    TNotebook& FNotebook;
};

// A stack of pages that shows its active page and no other. The first page made becomes the active
// one; destroying the active page leaves none active. No tabs: the program steps through the pages,
// as a wizard does.
class TNotebook : public TWinControl {
public:
    explicit TNotebook(TWinControl* parent, const TBounds& bounds = {0, 0, 150, 150});

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TPage& Pages(int index) const;

    // nullptr and -1 while the notebook has no page.
    TPage* ActivePage() const { return FActivePage; }
    int PageIndex() const;
    // Shows the page and hides the one shown before; the keyboard focus, when it was on the page
    // left, moves to the first control of the new page. The page must be one of this notebook's.
    void SetActivePage(TPage& page);
    void SetPageIndex(int index);

    // After SetActivePage or SetPageIndex changed the page shown.
    TNotifyEvent OnPageChanged;

private:
    friend class TPage;

    std::vector<TPage*> FPages;
    TPage* FActivePage = nullptr;
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

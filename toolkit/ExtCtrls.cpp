#include "toolkit/ExtCtrls.h"

#include <algorithm>
#include <stdexcept>

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

bool TPanel::SingleBorder() const {
    return (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_BORDER) != 0;
}

void TPanel::SetSingleBorder(bool single) {
    if (single == SingleBorder()) return;
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, single ? style | WS_BORDER : style & ~WS_BORDER);
    // The frame is the system's: it must measure and draw it again.
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPanel::PaintWindow(HDC dc) {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    // One pixel per bevel, the outer one first.
    for (TBevelCut bevel : {FBevelOuter, FBevelInner}) {
        if (bevel == bvNone) continue;
        DrawEdge(dc, &r, bevel == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
}

// TPage

// Made hidden: the notebook shows it when it becomes the active page. Its bounds are designed ones,
// scaled like every control's: the notebook's client size taken back to 96 pixels per inch.
TWinControl::TCreateParams TPage::MakeParams(const TNotebook* notebook) {
    if (!notebook) throw std::invalid_argument("A page needs a notebook");
    const int ppi = notebook->PixelsPerInch();
    return TCreateParams{nullptr,
                         WS_CLIPCHILDREN,
                         WS_EX_CONTROLPARENT,
                         "",
                         TBounds{0, 0, ScalePixels(notebook->ClientWidth(), kDesignPixelsPerInch, ppi),
                                 ScalePixels(notebook->ClientHeight(), kDesignPixelsPerInch, ppi)},
                         nullptr};
}

TPage::TPage(TNotebook* notebook) : TWinControl(notebook, MakeParams(notebook)), FNotebook(*notebook) {
    FAlign = alClient;
    // Exactly the notebook's area, whatever the rounding of the way there and back.
    SetBounds(0, 0, notebook->ClientWidth(), notebook->ClientHeight());
    FNotebook.FPages.push_back(this);
    if (!FNotebook.FActivePage) {
        FNotebook.FActivePage = this;
        Show();
    }
}

TPage::~TPage() {
    std::erase(FNotebook.FPages, this);
    if (FNotebook.FActivePage == this) FNotebook.FActivePage = nullptr;
}

int TPage::PageIndex() const {
    const auto& pages = FNotebook.FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

// TNotebook

TNotebook::TNotebook(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, nullptr, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT) {}

TPage& TNotebook::Pages(int index) const {
    if (index < 0 || index >= PageCount()) throw std::out_of_range("No such page");
    return *FPages[static_cast<size_t>(index)];
}

int TNotebook::PageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TNotebook::SetPageIndex(int index) {
    SetActivePage(Pages(index));
}

void TNotebook::SetActivePage(TPage& page) {
    if (&page.Notebook() != this) throw std::invalid_argument("The page belongs to another notebook");
    if (&page == FActivePage) return;
    TPage* old = FActivePage;
    HWND focus = GetFocus();
    const bool focusLeaves = old && focus && IsChild(old->Handle(), focus);
    FActivePage = &page;
    // The new page first, so that nothing of the notebook's background shows between the two.
    page.Show();
    if (old) old->Hide();
    if (focusLeaves) {
        HWND first = GetNextDlgTabItem(page.Handle(), nullptr, FALSE);
        SetFocus(first ? first : page.Handle());
    }
    if (OnPageChanged) OnPageChanged();
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

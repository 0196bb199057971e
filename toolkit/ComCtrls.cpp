#include "toolkit/ComCtrls.h"

#include <commctrl.h>

#include <stdexcept>

namespace yar {

void UseCommonControls(DWORD classes) {
    // Loaded, not imported: the library loads further DLLs by name as it starts, and an import would start it
    // before the program has kept the DLL search to the system directory. The manifest's side-by-side
    // dependency still chooses the version.
    using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const TInit init = [] {
        const HMODULE library = LoadLibraryA("comctl32.dll");
        return library ? reinterpret_cast<TInit>(
                             reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")))
                       : nullptr;
    }();
    const INITCOMMONCONTROLSEX classesToUse{sizeof classesToUse, classes};
    if (init == nullptr || !init(&classesToUse)) throw std::runtime_error("Cannot load the common controls");
}

namespace {

const char* ProgressClass() {
    UseCommonControls(ICC_PROGRESS_CLASS);
    return PROGRESS_CLASSA;
}

} // namespace

TProgressBar::TProgressBar(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, ProgressClass(), WS_VISIBLE) {
    SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(FStep), 0);
}

int TProgressBar::Min() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0));
}

int TProgressBar::Max() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0));
}

void TProgressBar::SetRange(int min, int max) {
    SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), max);
}

TAccessibleFacts TProgressBar::AccessibleFacts() const {
    TAccessibleFacts facts = TWinControl::AccessibleFacts();
    facts.Role = ROLE_SYSTEM_PROGRESSBAR;
    facts.State = STATE_SYSTEM_READONLY;
    facts.Value = PercentValue(Position(), Min(), Max());
    return facts;
}

int TProgressBar::Position() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

void TProgressBar::SetPosition(int position) {
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TProgressBar::SetStep(int step) {
    FStep = step;
    SendMessageA(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

} // namespace yar
